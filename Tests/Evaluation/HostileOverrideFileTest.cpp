// Override files that anyone could leave on a user's disk: each gets a return code, keeps what was
// read before its fault, reads nothing but itself, reaches no network and stays bounded in time
// and memory. A folder and a link loop where the file should be are in
// FileBasedToggleStatusEvaluatorTest.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "Support/HostileFiles.hpp"
#include "Support/TestSupport.hpp"

namespace {

using namespace FeatureToggle;
using namespace FeatureToggleTests;
using Strings = std::vector<std::string>;

constexpr int Failed = -7003;

Strings Entries(const FileBasedToggleStatusEvaluator& evaluator) {
    Strings entries;
    evaluator.EnumerateMappedToggleIds([&entries](const ToggleId& id, ToggleStatus status) {
        const auto& data = dynamic_cast<const FileBasedToggleIdData&>(*id.GetData());
        entries.push_back(std::string(data.GetIdString().ToCStr()) + "=" +
                          std::to_string(static_cast<int>(status)));
    });
    return entries;
}

std::string Value(const std::string& name, const char* status, const std::string& content = "") {
    const std::string start = "<OverriddenValue toggleName=\"" + name + "\" status=\"" + status + "\"";
    return content.empty() ? start + "/>\n" : start + ">" + content + "</OverriddenValue>\n";
}

std::string Overrides(const std::string& children, const std::string& prolog = "") {
    return prolog + "<ReleaseToggleOverrides>\n" + children + "</ReleaseToggleOverrides>\n";
}

TEST(HostileOverrideFile, EachGetsItsCodeKeepsWhatWasReadBeforeAndStaysBounded) {
    const TemporaryDirectory folder;
    const LoopbackListener listener;
    const std::string secret = folder.WriteFile("secret.txt", "TOPSECRET").string();
    // So that a fault after it lies beyond what the parser reads ahead before handing out A.
    const std::string padding(8192, ' ');
    const std::string ab = Value("A", "Enabled") + Value("B", "Disabled") + padding;
    const std::string valid = Overrides(ab);

    enum class Setup { Write, WriteUnreadable };
    const struct {
        const char* what;
        std::string content;
        int code;
        Strings entries;
        bool pathKept;
        Setup setup = Setup::Write;
    } rows[] = {
        {"external entity to a local file",
         Overrides(Value("A", "Enabled", "&s;") + Value("B", "Disabled") + padding + Value("&s;", "Enabled") +
                       Value("C", "Enabled"),
                   "<!DOCTYPE ReleaseToggleOverrides [<!ENTITY s SYSTEM \"" + secret + "\">]>"),
         Failed,
         {"A=1", "B=0"},
         true},
        {"external DTD at a remote address",
         Overrides(ab, "<!DOCTYPE ReleaseToggleOverrides SYSTEM \"" + listener.Url("evil.dtd") + "\">"),
         0,
         {"A=1", "B=0"},
         true},
        {"entities at a remote address",
         Overrides(Value("A", "Enabled", "&r;") + Value("B", "Disabled"),
                   "<!DOCTYPE ReleaseToggleOverrides [<!ENTITY % p SYSTEM \"" + listener.Url("p.dtd") +
                       "\"> %p; <!ENTITY r SYSTEM \"" + listener.Url("r.xml") + "\">]>"),
         0,
         {"A=1", "B=0"},
         true},
        {"billion laughs in a name",
         Overrides(ab + Value("&lol9;", "Enabled"),
                   "<!DOCTYPE ReleaseToggleOverrides [" + BillionLaughsSubset() + "]>"),
         Failed,
         {"A=1", "B=0"},
         true},
        {"billion laughs in an entry's content",
         Overrides(ab + Value("C", "Enabled", "&lol9;") + Value("D", "Enabled"),
                   "<!DOCTYPE ReleaseToggleOverrides [" + BillionLaughsSubset() + "]>"),
         Failed,
         {"A=1", "B=0"},
         true},
        {"nesting inside an entry, within the parser's bound",
         Overrides(ab + Value("C", "Enabled", DeepNesting(200)) + Value("D", "Disabled")),
         0,
         {"A=1", "B=0", "C=1", "D=0"},
         true},
        {"nesting inside an entry, beyond the parser's bound",
         Overrides(ab + Value("C", "Enabled", DeepNesting(100000)) + Value("D", "Disabled")),
         Failed,
         {"A=1", "B=0", "C=1"},
         true},
        {"invalid UTF-8 in a name",
         Overrides(ab + Value("C\xC3\x28", "Enabled")),
         Failed,
         {"A=1", "B=0"},
         true},
        {"a NUL byte in a name",
         Overrides(ab + Value(std::string("C\0D", 3), "Enabled")),
         Failed,
         {"A=1", "B=0"},
         true},
        {"UTF-16 with a byte-order mark",
         Utf16(Overrides(ab, "<?xml version=\"1.0\" encoding=\"UTF-16\"?>")),
         0,
         {"A=1", "B=0"},
         true},
        {"UTF-16 that does not decode",
         Utf16(Overrides(ab + "\x01" + Value("C", "Enabled"), "<?xml version=\"1.0\" encoding=\"UTF-16\"?>")),
         Failed,
         {"A=1", "B=0"},
         true},
        {"Latin-1 with a non-ASCII name",
         Overrides(ab + Value("Caf\xE9", "Enabled"), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"),
         Failed,
         {"A=1", "B=0"},
         true},
        {"truncated after valid entries",
         valid.substr(0, valid.find("</Release")) + "<Overridd",
         Failed,
         {"A=1", "B=0"},
         true},
        {"empty", "", Failed, {}, true},
        {"no read permission", valid, Failed, {}, false, Setup::WriteUnreadable},
    };

    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::filesystem::path file = folder.WriteFile("overrides.xml", row.content);
        if (row.setup == Setup::WriteUnreadable) {
            std::filesystem::permissions(file, std::filesystem::perms::none);
        }
        FileBasedToggleStatusEvaluator evaluator("Release");
        const auto start = std::chrono::steady_clock::now();
        int code = 0;
        {
            const ScopedUnprivileged unprivileged;
            if (row.setup == Setup::WriteUnreadable && !unprivileged.PermissionsApply()) {
                continue;
            }
            testing::internal::CaptureStderr();
            code = evaluator.ReadFromXMLFileIfExists(folder.GetLocation("overrides.xml"));
            EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // the host's output is its own
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_EQ(code, row.code);
        EXPECT_EQ(Entries(evaluator), row.entries);
        EXPECT_EQ(evaluator.GetXMLPath().HasValue(), row.pathKept);
        for (const std::string& entry : Entries(evaluator)) {
            EXPECT_EQ(entry.find("TOPSECRET"), std::string::npos);
        }
    }
    EXPECT_EQ(listener.GetConnections(), 0);
}

TEST(HostileOverrideFile, AFiftyMegabyteFileIsStreamed) {
    const TemporaryDirectory folder;
    const std::filesystem::path file = folder.GetPath() / "overrides.xml";
    constexpr std::size_t size = 50u << 20;
    // The bulk sits inside an entry, so the reader has to get through all of it to the last one.
    WriteLargeFile(file,
                   "<ReleaseToggleOverrides>\n" + Value("First", "Enabled") +
                       "<OverriddenValue toggleName=\"Big\" status=\"Disabled\">\n",
                   "  <Ignored note=\"filler filler filler\">text text text<!-- comment --></Ignored>\n",
                   size, "</OverriddenValue>\n" + Value("Last", "Enabled") + "</ReleaseToggleOverrides>\n");
    ASSERT_GE(std::filesystem::file_size(file), size);

    FileBasedToggleStatusEvaluator evaluator("Release");
    ResetPeakMemory();
    const long before = PeakMemoryKiB();
    EXPECT_EQ(evaluator.ReadFromXMLFileIfExists(IO::Location(file)), 0);
    const long growth = PeakMemoryKiB() - before;
    EXPECT_EQ(Entries(evaluator), (Strings{"First=1", "Big=0", "Last=1"}));
    if (MemoryUseIsMeaningful()) {
        EXPECT_LT(growth, 4 * 1024) << "KiB for a file of " << (size >> 10) << " KiB";
    }
}

}  // namespace
