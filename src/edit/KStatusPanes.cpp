#include "edit/KStatusPanes.h"

using std::size_t;

std::vector<int> kStatusPaneEdges(int inside, const std::vector<int>& widths, int total,
                                  int margin) {
    const size_t n = widths.size();
    std::vector<int> edges(n, 0);
    if (n == 0) {
        return edges;
    }
    int edge = total + margin;
    if (inside > edge) {
        edge = inside;
    }
    edges[n - 1] = edge;
    int fallback = margin;
    for (size_t k = n - 1; k >= 1; --k) {
        fallback -= 10;
        int next = edges[k] - widths[k];
        if (next < margin) {
            next = fallback;
        }
        edges[k - 1] = next;
    }
    return edges;
}
