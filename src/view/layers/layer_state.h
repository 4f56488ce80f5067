#pragma once
// State the constellation, add-in and Milky Way layers keep between renders (owned by the view).
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "skydata/constellation_selection.h"
#include "skydata/polyline.h"
#include "skydata/star_record.h"

namespace celes {

struct LayerState {
    // Constellation lines ("celesline.dat") and figures ("celesconste.dat"); the view sets their
    // paths when it is first updated with a catalogue loaded.
    PolylineSource lines;
    PolylineSource figures;
    // "MEMORY"/"SEIZE_FILES": the two files are held in memory. Switched off here when the memory
    // cannot be had; the view stores the value back with its next settings save.
    bool polylinesInMemory = false;
    // Point buffers of the outline being drawn (kept to spare an allocation per outline).
    PolylinePoints outlinePoints;

    // "SETTING"/"SELECT"'s list and the per-record flags the projection's selection test reads
    // (entry 19999 is raised while the bodies are drawn).
    ConstellationSelection selection;

    // The add-in list ("ADIN"/"f1" ... ), empty entries included.
    std::vector<std::string> addInPaths;

    // Records of object-list add-ins drawn by the last render (the drawn-object list points at them).
    std::deque<StarRecord> addInRecords;

    // Milky Way: one byte per chart pixel, the number of passes that paint it, and the drawing flag
    // that lets a ".p92" file be read.
    std::vector<std::uint8_t> milkyWayMask;
    bool drawingMilkyWay = false;

    // Sets both file paths from the data folder (ending in '/').
    void setDataFolder(const std::string& folder) {
        lines.setPath(folder + kConstellationLinesFile);
        figures.setPath(folder + kConstellationFiguresFile);
    }
};

}  // namespace celes
