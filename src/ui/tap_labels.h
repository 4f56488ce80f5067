#pragma once
// What a press names: the label text of a record and the tests on records that the labels, the
// popups and the above-horizon list share. TapHandler::identify and its label drawing live in
// tap_labels.cpp beside these.
#include <string>

#include "skydata/star_record.h"
#include "view/view_state.h"

namespace celes {

// The label the identification draws for a record (UTF-8): stars "αオリオン座 ベテルギウス 0.5等",
// deep-sky objects with their type label, bodies by name (the Moon with its age outside the
// planisphere), constellation labels "%s座". `moonAge` is the age in days of the view's date.
std::string IdentificationText(const StarRecord& record, ViewMode mode, double moonAge);
// The star's constellation name (UTF-8, without 座), or empty.
std::string ConstellationNameOf(const StarRecord& record);
// A star of the catalogue (not a body, not a registered tap).
bool IsCatalogueStar(const StarRecord& record);

}  // namespace celes
