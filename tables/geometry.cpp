#include "tables/geometry.h"

static int ScaleForDpi(int amount, int dpi) {
    if (dpi <= 0) return amount;
    long long product = (long long)amount * dpi;
    long long half = BaseDpi / 2;
    long long scaled = product >= 0 ? (product + half) / BaseDpi : -((-product + half) / BaseDpi);
    return (int)scaled;
}

int Scaled(const WindowGeometry& geometry, int amount) { return ScaleForDpi(amount, geometry.dpi); }

WindowGeometry GeometryFor(int width, int height, int dpi) {
    WindowGeometry g = {width, height, dpi, 0, 0};
    g.panelLeft = width / 2 - Scaled(g, 20);
    g.panelTop = height / 2 + Scaled(g, 12);
    return g;
}
