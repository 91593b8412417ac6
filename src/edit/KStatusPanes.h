#pragma once
// The pane layout of a child frame's status bar: the right panes are exactly as wide as
// their sample texts and touch the right end; the message pane takes the rest. When the
// bar is too narrow the edges fall back to small positive values instead of going
// negative.

#include <cstddef>
#include <vector>

// Right edges of the panes. inside: usable width of the bar; widths: the sample texts'
// widths; total: the width of all sample texts written as one line; margin: 30 or 20.
std::vector<int> kStatusPaneEdges(int inside, const std::vector<int>& widths, int total,
                                  int margin);
