// The banner's bands: for any work-area size they follow one another without
// gap or overlap from the first band down past the bottom, end after a
// bounded count, and take palette entries inside the palette while they lie
// in the window; the panel mirror stays inside the window.
#include "banner/gradient.h"
#include "fuzz/fuzz_check.h"

static int TakeInt(FuzzInput* in) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | TakeByte(in);
    return (int)v;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    // Work areas come from the system: up to the largest GDI coordinate, and
    // a degenerate one must not break the arithmetic either.
    int height = TakeInt(&in) % (1 << 16);
    int width = TakeInt(&in) % (1 << 16);
    const WindowGeometry g = GeometryFor(width, height, BaseDpi);
    int b = BandHeight(height);
    int bands = BandCount(g);
    FUZZ_CHECK(b >= 1 && bands >= 1);
    if (height > 0) {
        FUZZ_CHECK(bands <= height + 2);  // the loop ends
        for (int k = 1; k <= bands; ++k) {
            BannerRect r = BandRectangle(k, g);
            FUZZ_CHECK(r.left == 0 && r.right == width + 2 && r.bottom - r.top == b);
            if (k > 1) FUZZ_CHECK(r.top == BandRectangle(k - 1, g).bottom);
            int index = BandIndex(k * b, height);
            if (k * b <= height) FUZZ_CHECK(index >= 0 && index < PaletteSize);
            FUZZ_CHECK((BandColour(index) & 0xFF000000u) == 0x01000000u);
            FUZZ_CHECK((int)(BandColour(index) & 0xFFFF) == (index < 0 ? 0 : index));
        }
        // The last band starts at or below the bottom, the one before above it.
        FUZZ_CHECK(BandRectangle(bands, g).top >= height);
        if (bands > 1) FUZZ_CHECK(BandRectangle(bands - 1, g).top < height);
        // Lower bands take lower (darker) entries.
        if (bands > 1) FUZZ_CHECK(BandIndex(b, height) >= BandIndex(bands * b, height));

        MirrorBlock m = PanelMirror(g);
        FUZZ_CHECK(m.sourceY + m.sourceHeight == m.y && m.height == -m.sourceHeight);
        if (m.height > 0) FUZZ_CHECK(m.y >= 0 && m.y + m.height <= height);
    }
    return 0;
}
