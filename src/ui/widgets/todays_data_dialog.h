#pragma once
// The dialog "今日のデータ": the rise, transit and set list of one day on its first page and the
// night that begins that day on its second (twilights, the Moon, the dark window, the planets, to
// the minute), with "明日へ" moving both on a day at a time.
#include "astro/night.h"
#include "astro/rise_set.h"
#include "astro/time.h"
#include "ui/widgets/dialog_shell.h"

class QLabel;
class QListWidget;
class QTabWidget;
class QTreeWidget;

namespace celes {

class TodaysDataDialog : public DialogShell {
    Q_OBJECT
  public:
    // `day` is the view's local date (its time of day is not used).
    TodaysDataDialog(const CAstroTime& day, const ObservingPlace& place, QWidget* parent = nullptr);
    const TodaysData& data() const { return data_; }
    const NightEvents& night() const { return night_; }
    QTabWidget* pages() const { return pages_; }
    // "明日へ": the same list for the next day.
    void nextDay();

  protected:
    QSize preferredSize() const override;

  private:
    void fill();

    CAstroTime day_;
    ObservingPlace place_;
    TodaysData data_;
    NightEvents night_;
    QTabWidget* pages_;
    QLabel* title_;
    QListWidget* list_;
    QLabel* nightTitle_;
    QTreeWidget* nightList_;  // caption and time in two columns
};

}  // namespace celes
