// Real files for the version-resource code: the test program (it carries the UI plug-in's
// VERSIONINFO), Wine's system DLLs, text files without any resource, and copies of the test
// program whose version resource is rewritten into a chosen shape. All scratch files live in a
// folder of their own that goes away with the object.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvtest {

enum class VersionShape {
    NoTranslation,      // fixed info only: no VarFileInfo, no StringFileInfo
    NoFileVersion,      // a translation and a string table without FileVersion
    EmptyFileVersion,   // FileVersion present but empty
    GermanFileVersion,  // translation 0x0407/1252 with FileVersion "7.1.2"
};

class ScratchFiles {
public:
    ScratchFiles() {
        WCHAR temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = std::wstring(temp) + L"corvtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(counter_++);
        CreateDirectoryW(dir_.c_str(), nullptr);
    }
    ~ScratchFiles() {
        for (const auto& f : created_) DeleteFileW(f.c_str());
        RemoveDirectoryW(dir_.c_str());
    }
    ScratchFiles(const ScratchFiles&) = delete;
    ScratchFiles& operator=(const ScratchFiles&) = delete;

    const std::wstring& Dir() const { return dir_; }

    static std::wstring TestProgram() {
        WCHAR path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        return path;
    }
    static std::wstring SystemFile(const wchar_t* name) {
        WCHAR path[MAX_PATH];
        GetSystemDirectoryW(path, MAX_PATH);
        return std::wstring(path) + L"\\" + name;
    }
    std::wstring Missing(const wchar_t* name) const { return dir_ + L"\\" + name; }

    std::wstring TextFile(const wchar_t* name) {
        std::wstring path = Track(name);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, "no resources here\r\n", 19, &written, nullptr);
        CloseHandle(file);
        return path;
    }

    std::wstring WithVersionResource(const wchar_t* name, VersionShape shape) {
        std::wstring path = Track(name);
        EXPECT_TRUE(CopyFileW(TestProgram().c_str(), path.c_str(), FALSE));
        std::string blob = VersionBlob(shape);
        HANDLE update = BeginUpdateResourceW(path.c_str(), TRUE);
        EXPECT_NE(update, nullptr);
        EXPECT_TRUE(UpdateResourceW(update, RT_VERSION, MAKEINTRESOURCEW(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                    blob.data(), static_cast<DWORD>(blob.size())));
        EXPECT_TRUE(EndUpdateResourceW(update, FALSE));
        return path;
    }

private:
    std::wstring Track(const wchar_t* name) {
        created_.push_back(dir_ + L"\\" + name);
        return created_.back();
    }

    // One node of a version resource: header, key, value and children, each aligned to 4 bytes.
    static void Align(std::string& s) {
        while (s.size() % 4) s.push_back('\0');
    }
    static std::string Node(const std::wstring& key, const std::string& value, WORD valueLength, WORD type,
                            const std::vector<std::string>& children) {
        std::string s(6, '\0');
        s.append(reinterpret_cast<const char*>(key.c_str()), (key.size() + 1) * 2);
        Align(s);
        s += value;
        for (const auto& child : children) {
            Align(s);
            s += child;
        }
        WORD length = static_cast<WORD>(s.size());
        memcpy(&s[0], &length, 2);
        memcpy(&s[2], &valueLength, 2);
        memcpy(&s[4], &type, 2);
        return s;
    }
    static std::string Text(const std::wstring& key, const std::wstring& value) {
        std::string bytes(reinterpret_cast<const char*>(value.c_str()), (value.size() + 1) * 2);
        return Node(key, bytes, static_cast<WORD>(value.size() + 1), 1, {});
    }
    static std::string VersionBlob(VersionShape shape) {
        VS_FIXEDFILEINFO fixed{};
        fixed.dwSignature = 0xFEEF04BD;
        fixed.dwStrucVersion = 0x00010000;
        fixed.dwFileVersionMS = 0x00090000;
        std::string fixedBytes(reinterpret_cast<const char*>(&fixed), sizeof(fixed));

        std::vector<std::string> children;
        if (shape != VersionShape::NoTranslation) {
            bool german = shape == VersionShape::GermanFileVersion;
            std::vector<std::string> strings = {Text(L"ProductVersion", L"9.0")};
            if (shape == VersionShape::EmptyFileVersion) strings.push_back(Text(L"FileVersion", L""));
            if (german) strings.push_back(Text(L"FileVersion", L"7.1.2"));
            children.push_back(Node(L"StringFileInfo", "", 0, 1,
                                    {Node(german ? L"040704e4" : L"040904b0", "", 0, 1, strings)}));
            WORD pair[2] = {static_cast<WORD>(german ? 0x0407 : 0x0409), static_cast<WORD>(german ? 1252 : 1200)};
            std::string pairBytes(reinterpret_cast<const char*>(pair), 4);
            children.push_back(Node(L"VarFileInfo", "", 0, 1, {Node(L"Translation", pairBytes, 4, 0, {})}));
        }
        return Node(L"VS_VERSION_INFO", fixedBytes, sizeof(fixed), 0, children);
    }

    std::wstring dir_;
    std::vector<std::wstring> created_;
    static inline int counter_ = 0;
};

}  // namespace corvtest
