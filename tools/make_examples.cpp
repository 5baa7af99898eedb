// Writes the ready models of examples/ from code, so they never drift from the writer.
#include <iostream>

#include "persistence/model_file.h"
#include "tools/bench_models.h"
#include "tools/example_models.h"

int main(int argc, char** argv) {
    // "--wide OUT.qsf": the model of the largest size, for measurements only.
    if (argc == 3 && std::string(argv[1]) == "--wide") {
        if (marvolt::SaveModelFile(argv[2], *marvolt::BuildWideModel(), nullptr) !=
            marvolt::SaveResult::kOk) {
            std::cerr << "Невозможно открыть файл \"" << argv[2] << "\" для записи.\n";
            return 1;
        }
        return 0;
    }
    // "--bench DIR": the models the benchmarks and scripts/speed.sh run.
    const bool bench = argc == 3 && std::string(argv[1]) == "--bench";
    const std::string dir = bench ? argv[2] : argc > 1 ? argv[1] : "examples";
    int status = 0;
    for (const auto& example :
         bench ? marvolt::BuildBenchmarkModels() : marvolt::BuildExampleModels()) {
        const std::string path = dir + "/" + example.fileName;
        if (marvolt::SaveModelFile(path, *example.model, nullptr) != marvolt::SaveResult::kOk) {
            std::cerr << "Невозможно открыть файл \"" << path << "\" для записи.\n";
            status = 1;
        } else {
            std::cout << path << '\n';
        }
    }
    return status;
}
