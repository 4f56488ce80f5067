#pragma once
// The constellation selection dialog ("星座選択"): the check box "表示星座を選択", a sorted list of
// the 89 constellation names in which several can be chosen, and "黄道１２星座の選択".
#include <string>
#include <vector>

#include "skydata/constellation_selection.h"

namespace celes {

class ConstellationSelectionModel {
  public:
    struct Item {
        int tableIndex;    // entry of the constellation table
        std::string name;  // UTF-8, as listed
        bool selected = false;
    };

    // Lists the 89 names sorted, selecting those whose abbreviation is among the used slots of
    // `current`; the check box starts as `selectedOnly`.
    ConstellationSelectionModel(const ConstellationSelection& current, bool selectedOnly);

    bool filterOn() const { return filterOn_; }
    void setFilterOn(bool on) { filterOn_ = on; }
    // The list and the zodiac button can be used only while the check box is ticked.
    bool listEnabled() const { return filterOn_; }

    const std::vector<Item>& items() const { return items_; }
    void setSelected(int item, bool on);
    int selectedCount() const;
    // "黄道１２星座の選択": exactly the twelve zodiac constellations become selected.
    void selectZodiac();

    // OK: the selection list is rewritten from the selected items in list order (all slots empty
    // when the check box is off); with the box ticked but nothing selected the filter goes off.
    // Returns the selected-only flag to store.
    bool accept(ConstellationSelection& out);

  private:
    std::vector<Item> items_;
    bool filterOn_;
};

}  // namespace celes
