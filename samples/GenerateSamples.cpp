// generate-samples <output folder>: writes the sample tile set as .BMP files.

#include "SampleTiles.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: generate-samples <output folder>\n";
        return 2;
    }
    try {
        const std::vector<std::string> names = samplegen::WriteSampleTiles(argv[1]);
        std::cout << "generate-samples: wrote " << names.size() << " tiles to " << argv[1] << "\n";
    } catch (const std::exception& e) {
        std::cerr << "generate-samples: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
