// Studies of replications as a test reads them: documents parsed, parts kept
// in files for merges, indicators found by id and node.
#pragma once

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "runner_fixture.h"

namespace marvolt::test {

class StudyFixture : public RunnerFixture {
  protected:
    using Json = nlohmann::json;

    // The document of a run, parsed; the run must succeed.
    Json Document(std::vector<std::string> args) {
        args.insert(args.begin(), "--json");
        EXPECT_EQ(Run(args), kRunOk) << err.str();
        return Json::parse(Taken());
    }
    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    // Runs, keeping what was printed in a file for a later merge.
    std::string Part(const std::string& name, std::vector<std::string> args) {
        args.insert(args.begin(), "--json");
        EXPECT_EQ(Run(args), kRunOk) << err.str();
        return Write(name, Taken());
    }
    static const Json& Indicator(const Json& doc, int id, const std::string& object) {
        for (const Json& i : doc["indicators"]) {
            if (i["id"] == id && i["object"] == object && i["type"] == "Все типы заявок")
                return i;
        }
        static const Json none;
        ADD_FAILURE() << "no indicator " << id << " of " << object;
        return none;
    }
};

}  // namespace marvolt::test
