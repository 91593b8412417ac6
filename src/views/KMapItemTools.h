#pragma once
// What the UV map view's tools do with its item list, without any window: which item
// lies under a point, where the keyboard walks to, and the muscle a drag draws.

#include <QPoint>
#include <memory>
#include <vector>

#include "views/KMapItem.h"
#include "views/KUvMapLayout.h"

class KBdlMuscle;

// The item under p (logical coordinates): the selected item when p is inside its
// region; else the topmost (last drawn) item whose region holds p; else the selected
// item when p is inside its box; else -1.
int kHitTest(const std::vector<KMapItem>& items, int selected, const QPoint& p);

// Keyboard selection walks.
enum class KItemWalk {
    Next,          // Tab
    Previous,      // Shift+Tab
    PreviousGroup, // Page Up: last item of the previous layer group
    NextGroup,     // Page Down: first item of the next layer group
    GroupFirst,    // Home
    GroupLast,     // End
    First,         // Ctrl+Page Up, Ctrl+Home
    Last           // Ctrl+Page Down, Ctrl+End
};
// The index the walk reaches from current (-1: none) over items whose layers are given
// in list order; -1 for an empty list. A layer group is a run of consecutive items of
// one layer; a walk that reaches either end of the list stops there.
int kWalkItems(const std::vector<const void*>& layers, int current, KItemWalk walk);

// The creation tools and methods.
enum KTool : int { ToolPointer = 0, ToolVertical = 1, ToolOrbital = 2, ToolPoint = 3 };
enum KCreationMethod : int { FitToBounds = 1, FitToLine = 2 };

// The muscle drawn by a drag from press to release (logical coordinates) with a
// creation tool: fitted to the dragged rectangle, or along the dragged line with
// midPoints interior points and the given total width. An empty rectangle asks for the
// item defaults. Null for the pointer tool.
std::unique_ptr<KBdlMuscle> kMuscleFromDrag(int tool, int method, const QPoint& press,
                                            const QPoint& release, const KUvMapLayout::MapRect& map,
                                            int midPoints, double width);

// A pasted copy is moved this far (in UV units, a share of the map) from the original.
inline constexpr double kPasteShift = 0.02;
// The direction of the next move of a pasted copy along U and along V (+1 or -1).
struct KPasteDirection {
    int u = 1;
    int v = -1; // V grows upwards: down on the map
};
// Moves a pasted copy by kPasteShift in the given direction, first turning a direction
// around where it would take the outline past the edge of the map.
void kOffsetPastedMuscle(KBdlMuscle& muscle, KPasteDirection& direction);
// Places a pasted copy among the document's muscles: where it is when none of them lies
// exactly there (an item cut and pasted comes back in place), else moved down and right
// until it lies on none, so each further paste lands beside the one before.
void kPlacePastedMuscle(KBdlMuscle& muscle, const std::vector<KBdlMuscle*>& existing);
