#pragma once
// One render's input and output as values. The user-interface thread takes a RenderSnapshot when a
// render is asked for (everything the render reads besides the document's records); the render,
// on that thread or on the worker, reads only the snapshot and returns a RenderResult: the objects it
// drew, the projection it used and the document generation it drew. The result names records by
// list and index; a result whose generation is no longer the document's is ignored.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "skydata/star_record.h"
#include "view/colour_table.h"
#include "view/drawn_objects.h"
#include "view/layers/layer_state.h"
#include "view/projection.h"
#include "view/render_context.h"
#include "view/view_state.h"

namespace celes {

struct RenderSnapshot {
    ViewState view;  // the navigator's centre and factor already applied
    ColourTable colours;
    ColourMode colourMode;
    LayerSwitches switches;
    std::string dataFolder;        // ends with '/', or empty
    std::uint64_t generation = 0;  // of the document's records when the snapshot was taken
};

struct RenderResult {
    std::uint64_t generation = 0;  // of the records drawn
    bool rendered = false;         // false until a render filled it
    // The projection and time the chart was drawn with (the selection table is not kept: a tap
    // maps pixels back to the sky, it does not filter records).
    ProjectionContext projection;
    RenderTime time;
    DrawnObjectList drawn;
    // Records the render made: the Sun, Moon and planets by Body, and the add-in objects drawn.
    std::array<StarRecord, kBodyCount> bodies{};
    std::vector<StarRecord> addIns;
    // Numbers (0..199) found at byte 4 of the designations of non-star catalogue records drawn.
    std::array<std::uint8_t, 200> seenNumbers{};
    // The constellation files could not be held in memory: the view drops "MEMORY"/"SEIZE_FILES".
    bool polylineMemoryRefused = false;

    // The record a reference names, or null when it is not there. The caller makes sure the result
    // is current (IsCurrentFor) before following a catalogue, tap or mark reference.
    const StarRecord* Resolve(const RecordSource& records, RecordRef ref) const;
    bool IsCurrentFor(const RecordSource& records) const {
        return rendered && generation == records.generation();
    }

    struct Found {
        RecordRef ref;
        const StarRecord* record = nullptr;
        int x = 0, y = 0;  // where it was drawn
    };
    // The identifiable object drawn under a tap at (x, y) (DrawnObjectList::FindObjectAt); nothing
    // when none is there or the result is stale.
    std::optional<Found> FindObjectAt(const RecordSource& records, int x, int y, bool tapsShown) const;
    // Where a record was drawn (its first entry), or nothing.
    std::optional<DrawnObject> FindDrawn(RecordRef ref) const;
};

// Canvases a render draws into. The overlay is the grid labels' strip, made by the grid layer one
// text line high and the chart's width, only when a grid is drawn.
struct RenderCanvases {
    CSkyCanvas& canvas;
    CSkyCanvas& overlay;
    CSkyCanvas& scratch;
};

// Time, place and ephemeris of the view's instant.
RenderTime MakeRenderTime(const ViewState& state);
RenderEphemeris MakeRenderEphemeris(const ViewState& state, const RenderTime& time);
// What the projection needs of the view for one render.
ProjectionInput MakeProjectionInput(const ViewState& state, const RenderTime& time);
// The body records of a render: position, display magnitude, spectral letter and name (five blanks
// in planet-symbol mode), by Body.
std::array<StarRecord, kBodyCount> MakeBodyRecords(const ViewState& state, const RenderEphemeris& ephemeris);

// One whole chart from a snapshot into `canvases` (already created at the view's client size).
RenderResult RenderChart(const RenderSnapshot& snapshot, const RecordSource& records, RenderCanvases canvases,
                         LayerCache& cache);

}  // namespace celes
