// make_velkanet STARS PAIRS OUTPUT: tarvex's conversion without its window, for the generator.
#include <cstdio>

#include "converter/conversion.h"

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_velkanet STAR-POSITIONS STAR-PAIRS OUTPUT\n");
        return 2;
    }
    try {
        tarvex::Conversion c = tarvex::convertFiles({argv[1], argv[2], argv[3]});
        std::printf("%s: %d segments, %d pairs dropped\n", argv[3], c.segments, c.dropped);
        return c.dropped == 0 ? 0 : 1;
    } catch (const tarvex::ConversionError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
