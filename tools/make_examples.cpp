// Writes the ready models of examples/ from code, so they never drift from the writer.
#include <cstdlib>
#include <iostream>
#include <memory>

#include "persistence/model_file.h"
#include "tools/bench_models.h"
#include "tools/example_models.h"

namespace {

int SaveOne(const char* path, const marvolt::CQueuingSystem& m) {
    if (marvolt::SaveModelFile(path, m, nullptr) != marvolt::SaveResult::kOk) {
        std::cerr << "Невозможно открыть файл \"" << path << "\" для записи.\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // "--wide OUT.qsf": the model of the largest size, for measurements only.
    if (argc == 3 && std::string(argv[1]) == "--wide")
        return SaveOne(argv[2], *marvolt::BuildWideModel());
    // "--mm1 INTERVAL SERVICE OUT.qsf": M/M/1 with these means, for output studies.
    if (argc == 5 && std::string(argv[1]) == "--mm1") {
        const float interval = std::strtof(argv[2], nullptr),
                    service = std::strtof(argv[3], nullptr);
        if (!(interval > 0) || !(service > 0)) {
            std::cerr << "Средние должны быть положительными.\n";
            return 2;
        }
        return SaveOne(argv[4], *marvolt::BuildSingleServerModel(interval, service));
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
