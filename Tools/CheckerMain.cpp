// featuretoggle-check: tells whether release toggle override files are valid, and why not.
#include <exception>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "Fenlo.hpp"
#include "OverrideFileChecker.hpp"
#include "ZelkRoot/Utf8Path.hpp"

namespace {

void PrintUsage(std::ostream& out) {
    out << "Usage: featuretoggle-check [--known-toggles FILE] [--strict] FILE...\n"
           "\n"
           "Checks release toggle override files (ReleaseToggleOverrides.xml) with the feature toggle\n"
           "library's own reader. For each file it lists the overrides the library would apply, warns\n"
           "about overrides it would ignore, and for a file the library rejects says why, and where.\n"
           "Errors and warnings go to standard error, the rest to standard output.\n"
           "\n"
           "Exit status: 0 when every file is valid, 1 when a file is invalid, 2 for a usage error or a\n"
           "file that cannot be read.\n"
           "\n"
           "  --known-toggles FILE  the application's toggle names, one per line: a name that is not\n"
           "                        among them is an error\n"
           "  --strict              warnings make a file invalid\n"
           "  --version             show the version\n"
           "  --help                show this text\n";
}

int UsageError(const std::string& what) {
    std::cerr << "featuretoggle-check: " << FeatureToggleCheck::PrintableText(what) << "\n\n";
    PrintUsage(std::cerr);
    return 2;
}

// One name per line; blank lines are skipped and line ends of either kind are taken.
bool ReadKnownToggles(const std::string& file, std::set<std::string>& names) {
    if (!ZelkPaths::IsUtf8(file)) {
        return false;
    }
    std::ifstream in(ZelkPaths::PathFromUtf8(file));
    if (!in) {
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            names.insert(line);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using FeatureToggleCheck::OverrideFileChecker;

    FeatureToggleCheck::CheckOptions options;
    std::vector<std::string> files;
    bool optionsEnded = false;
    // UTF-8 on every system, as the platform's paths are.
    const std::vector<std::string> arguments = IO::GetProgramArguments(argc, argv);
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            files.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            PrintUsage(std::cout);
            return 0;
        } else if (argument == "--version") {
            std::cout << "featuretoggle-check " FEATURETOGGLE_VERSION "\n";
            return 0;
        } else if (argument == "--strict") {
            options.strict = true;
        } else if (argument == "--known-toggles") {
            if (i + 1 == arguments.size()) {
                return UsageError("missing file for '--known-toggles'");
            }
            const std::string& file = arguments[++i];
            if (!ReadKnownToggles(file, options.knownToggles)) {
                std::cerr << "featuretoggle-check: cannot read the known toggle names from '"
                          << FeatureToggleCheck::PrintableText(file) << "'\n";
                return 2;
            }
        } else {
            return UsageError("unknown option '" + argument + "'");
        }
    }
    if (files.empty()) {
        return UsageError("no file to check");
    }

    try {
        OverrideFileChecker::Verdict worst = OverrideFileChecker::Verdict::Valid;
        for (const std::string& file : files) {
            const OverrideFileChecker::Verdict verdict =
                OverrideFileChecker::Check(IO::Location(file.c_str()), file, options, std::cout, std::cerr);
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
