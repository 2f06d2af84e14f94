// featuretoggle-check: tells whether release toggle override files are valid, and why not.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "OverrideFileChecker.hpp"

namespace {

void PrintUsage(std::ostream& out) {
    out << "Usage: featuretoggle-check FILE...\n"
           "\n"
           "Checks release toggle override files (ReleaseToggleOverrides.xml) with the feature toggle\n"
           "library's own reader. For each file it lists the overrides the library would apply, warns\n"
           "about overrides it would ignore, and for a file the library rejects says why, and where.\n"
           "\n"
           "Exit status: 0 when every file is valid, 1 when a file is invalid, 2 for a usage error or a\n"
           "file that cannot be read.\n"
           "\n"
           "  --help  show this text\n";
}

}  // namespace

int main(int argc, char** argv) {
    using FeatureToggleCheck::OverrideFileChecker;

    std::vector<std::string> files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!optionsEnded && (argument == "--help" || argument == "-h")) {
            PrintUsage(std::cout);
            return 0;
        }
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            std::cerr << "featuretoggle-check: unknown option '" << argument << "'\n\n";
            PrintUsage(std::cerr);
            return 2;
        } else {
            files.push_back(argument);
        }
    }
    if (files.empty()) {
        std::cerr << "featuretoggle-check: no file to check\n\n";
        PrintUsage(std::cerr);
        return 2;
    }

    try {
        OverrideFileChecker::Verdict worst = OverrideFileChecker::Verdict::Valid;
        for (const std::string& file : files) {
            const OverrideFileChecker::Verdict verdict = OverrideFileChecker::Check(file, file, std::cout);
            if (verdict > worst) {
                worst = verdict;
            }
        }
        std::cout.flush();
        return static_cast<int>(worst);
    } catch (const std::exception& exception) {
        std::cout.flush();
        std::cerr << "featuretoggle-check: " << exception.what() << '\n';
        return 2;
    }
}
