// Saves from several threads and several processes at once: no save is lost, the file is
// never torn, and no temporary file stays behind.
#include "registry_fixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>

namespace kavet::test {
namespace {

using RegistryConcurrency = RegistryTest;

// Built by appending: GCC 12 warns wrongly (-Wrestrict) on "literal" + std::string.
std::string valueName(int writer, int round) {
    std::string name = "w";
    name += std::to_string(writer);
    name += 'r';
    name += std::to_string(round);
    return name;
}
std::string valueData(int writer, int round) {
    std::string data = "data of ";
    data += valueName(writer, round);
    data += '\0';
    return data;
}

// One writer: `rounds` values of its own plus one shared counter-like value, through a
// handle of its own, reading each of its values back at once.
bool writeRounds(int writer, int rounds) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Velmorant", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    for (int round = 0; round < rounds && ok; ++round) {
        const std::string name = valueName(writer, round);
        const std::string data = valueData(writer, round);
        ok = set(key, name.c_str(), REG_SZ, data) == ERROR_SUCCESS &&
             set(HKEY_CURRENT_USER, "last", REG_DWORD, std::string(4, char(writer))) ==
                 ERROR_SUCCESS &&
             query(key, name.c_str()) == StoredValue{REG_SZ, data};
    }
    return RegCloseKey(key) == ERROR_SUCCESS && ok;
}

// Every value of every writer is there, and every line of the file is understood.
void expectAllSaved(const std::vector<std::string>& hiveLines, int writers, int rounds) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Velmorant", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    int missing = 0;
    for (int writer = 0; writer < writers; ++writer) {
        for (int round = 0; round < rounds; ++round) {
            const std::string name = valueName(writer, round);
            if (query(key, name.c_str()) != StoredValue{REG_SZ, valueData(writer, round)})
                ++missing;
        }
    }
    RegCloseKey(key);
    EXPECT_EQ(missing, 0);
    const auto last = query(HKEY_CURRENT_USER, "last");
    ASSERT_TRUE(last.has_value());
    EXPECT_LT(static_cast<unsigned char>(last->data[0]), writers);

    int valueLines = 0;
    for (const std::string& line : hiveLines) {
        const bool understood = line.empty() || line[0] == ';' || line[0] == '[' ||
                                line.starts_with("\"w") || line.starts_with("\"last\"=dword:");
        EXPECT_TRUE(understood) << line;
        if (line.starts_with("\"w")) ++valueLines;
    }
    EXPECT_EQ(valueLines, writers * rounds);
}

TEST_F(RegistryConcurrency, ThreadsSavingAtOnceLoseNothing) {
    constexpr int kThreads = 6;
    constexpr int kRounds = 40;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &failures] {
            if (!writeRounds(t, kRounds)) ++failures;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
    expectAllSaved(hiveLines(), kThreads, kRounds);
    EXPECT_EQ(hiveFolderEntries(), (std::vector<std::string>{"registry.txt", "registry.txt.lock"}));
}

TEST_F(RegistryConcurrency, ProcessesAndThreadsSavingAtOnceLoseNothing) {
    constexpr int kProcesses = 4;
    constexpr int kThreadsPerProcess = 2;
    constexpr int kRounds = 30;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // The child: two threads of its own, then report through the exit status.
            bool ok[kThreadsPerProcess] = {};
            std::vector<std::thread> threads;
            for (int t = 0; t < kThreadsPerProcess; ++t) {
                const int writer = p * kThreadsPerProcess + t;
                threads.emplace_back([&ok, t, writer] { ok[t] = writeRounds(writer, kRounds); });
            }
            for (std::thread& thread : threads)
                thread.join();
            _exit(std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; }) ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child " << child;
    }
    expectAllSaved(hiveLines(), kProcesses * kThreadsPerProcess, kRounds);
    EXPECT_EQ(hiveFolderEntries(), (std::vector<std::string>{"registry.txt", "registry.txt.lock"}));
}

// Readers while another process saves: neither a reader through the registry functions nor
// one that reads the file without any lock (a text editor, a backup) ever sees a part of a
// save, so a value that exists stays readable throughout.
TEST_F(RegistryConcurrency, ReadersNeverSeeAHalfWrittenFile) {
    HKEY key = createKey("K");
    ASSERT_EQ(set(key, "stable", REG_SZ, bytes("always here", 12)), ERROR_SUCCESS);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        bool ok = true;
        for (int i = 0; i < 200 && ok; ++i)
            ok = set(key, "churn", REG_BINARY,
                     std::string(static_cast<std::size_t>(i * 13), 'c')) == ERROR_SUCCESS;
        _exit(ok ? 0 : 1);
    }
    int apiMisses = 0;
    int rawMisses = 0;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (query(key, "stable") != StoredValue{REG_SZ, bytes("always here", 12)}) ++apiMisses;
        const std::string raw = readHiveFile();
        const bool whole = raw.find("\n\"stable\"=sz:\"always here\"\n") != std::string::npos &&
                           raw.back() == '\n';
        if (!whole) ++rawMisses;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(apiMisses, 0);
    EXPECT_EQ(rawMisses, 0);
    EXPECT_EQ(query(key, "churn"), (StoredValue{REG_BINARY, std::string(199 * 13, 'c')}));
    RegCloseKey(key);
}

} // namespace
} // namespace kavet::test
