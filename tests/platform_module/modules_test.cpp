// Module handles, file names, run-time linking and the built-in msimg32.dll.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string executable() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

TEST(Modules, TheProgramsHandleNamesItsFile) {
    HMODULE self = GetModuleHandleA(nullptr);
    ASSERT_NE(self, nullptr);
    char name[MAX_PATH];
    DWORD length = GetModuleFileNameA(self, name, MAX_PATH);
    EXPECT_EQ(std::string(name), executable());
    EXPECT_EQ(length, executable().size());
    EXPECT_EQ(GetModuleFileNameA(nullptr, name, MAX_PATH), length);
    HMODULE fromAddress = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                   reinterpret_cast<LPCSTR>(&executable), &fromAddress));
    EXPECT_EQ(fromAddress, self);
}

TEST(Modules, AShortBufferGetsATerminatedPrefixAndAnError) {
    char name[5] = "xxxx";
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, name, 5), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(name), executable().substr(0, 4));
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(16), name, 5), 0u);
}

TEST(Modules, LoadLibraryFindsExportsAndCountsUses) {
    HMODULE libm = LoadLibraryA("libm.so.6");
    ASSERT_NE(libm, nullptr);
    EXPECT_EQ(LoadLibraryA("libm.so.6"), libm);
    auto cosine = reinterpret_cast<double (*)(double)>(
        reinterpret_cast<void (*)()>(GetProcAddress(libm, "cos")));
    ASSERT_NE(cosine, nullptr);
    EXPECT_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(GetModuleHandleA("libm.so.6"), libm);
    char name[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(libm, name, MAX_PATH), 0u);
    EXPECT_NE(std::strstr(name, "libm"), nullptr);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(libm, "no_such_function_here"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(libm, MAKEINTRESOURCEA(1)), nullptr);
    EXPECT_TRUE(FreeLibrary(libm));
    EXPECT_TRUE(FreeLibrary(libm));
    EXPECT_FALSE(FreeLibrary(libm));
}

TEST(Modules, MissingLibrariesFailWithModNotFound) {
    const char* names[] = {"no-such-library.dll", "/nonexistent/lib.so", ""};
    for (const char* n : names) {
        SetLastError(0);
        EXPECT_EQ(LoadLibraryA(n), nullptr) << n;
        EXPECT_NE(GetLastError(), 0u) << n;
    }
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleA("no-such-library.dll"), nullptr);
}

TEST(Msimg32, IsBuiltInUnderAnySpellingAndCounted) {
    EXPECT_EQ(GetModuleHandleA("msimg32.dll"), nullptr); // not loaded yet
    HMODULE a = LoadLibraryA("msimg32.dll");
    HMODULE b = LoadLibraryA("MSIMG32.DLL");
    HMODULE c = LoadLibraryA("msimg32");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c);
    EXPECT_EQ(LoadLibraryA("msimg32x.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleA("MsImg32.dll"), a);
    EXPECT_EQ(reinterpret_cast<void (*)()>(GetProcAddress(a, "TransparentBlt")),
              reinterpret_cast<void (*)()>(&TransparentBlt));
    EXPECT_EQ(reinterpret_cast<void (*)()>(GetProcAddress(a, "AlphaBlend")),
              reinterpret_cast<void (*)()>(&AlphaBlend));
    EXPECT_EQ(GetProcAddress(a, "GradientFill"), nullptr);
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_FALSE(FreeLibrary(a));
    EXPECT_EQ(GetModuleHandleA("msimg32.dll"), nullptr);
    EXPECT_EQ(GetProcAddress(a, "TransparentBlt"), nullptr); // unloaded
}

} // namespace
