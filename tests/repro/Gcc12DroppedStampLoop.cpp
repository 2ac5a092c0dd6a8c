// Build: g++ -std=c++20 -O2 Gcc12DroppedStampLoop.cpp && ./a.out   (not part of the build)
//
// GCC 12.2 at -O1/-O2 prints "FAIL": main() never calls Stamp(). IVOPTS rewrites the int16 and
// uint16 loads as MEM[0B + constant + iv * 2]; the late local pure-const pass takes that null
// base for a null dereference, skips the rest of each block holding such a load (the calls to
// SetHeight/SetTile), declares Stamp() pure, and the call, whose result is unused, is deleted.
// Nothing here is undefined: -O0, -O3, clang -O2, -fsanitize=undefined, -fno-ivopts and
// -fno-delete-null-pointer-checks print "stamped" (-fno-strict-aliasing does not help). Reading
// the cell's values before the `if`, out of the blocks with the calls, also prints "stamped".
#include <cstdint>
#include <cstdio>

struct Rec {
    std::int16_t h[50][50];
    std::uint16_t t[50][50];
    std::uint8_t m[50][50];
};
struct Doc {
    int height[64], tile[64];
    Rec rec[4];
};

__attribute__((noipa)) void SetHeight(Doc& d, int i, int v) {
    d.height[i] = v;
}
__attribute__((noipa)) void SetTile(Doc& d, int i, int t, int m) {
    d.tile[i] = t + m;
}

void Stamp(Doc& d, int k, int n, bool heights) {
    const Rec& b = d.rec[k];
    for (int a = 0; a < n; ++a)
        for (int r = 0; r < n; ++r) {
            if (heights)
                SetHeight(d, a * 8 + r, b.h[a][r]);
            SetTile(d, a * 8 + r, b.t[a][r], b.m[a][r]);
        }
}

int main() {
    static Doc d{};
    d.rec[1].h[1][1] = 7;
    d.rec[1].t[1][1] = 9;
    Stamp(d, 1, 2, true);
    const bool ok = d.height[9] == 7 && d.tile[9] == 9;
    std::printf("%s\n", ok ? "stamped" : "FAIL: the stamp was dropped");
    return ok ? 0 : 1;
}
