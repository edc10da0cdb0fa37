// A fake system for the install logic: a small in-memory disk, and one ordered log of
// every call the logic makes, so tests can assert what the disk and the user would see.
#pragma once

#include "sys/System.h"

#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class FakeSystem : public sys::System {
public:
    // The disk: path -> attributes (directory bit for folders), file contents aside.
    std::map<std::string, uint32_t> entries;
    std::set<std::string> locked;     // files that cannot be overwritten (held open)
    std::set<std::string> readOnlyDirs; // folders in which nothing can be created
    std::string modulePath = "C:\\Dist\\Setup.exe";
    bool zeroEndsCutModulePath = false; // Vista and later; XP fills the whole buffer
    std::string windowsDir = "C:\\WINDOWS";
    // Overrides the return value of GetWindowsDirectoryA (the buffer is still written).
    std::function<uint32_t(uint32_t size)> windowsDirResult;
    uint32_t ansiCodePage = 932;
    std::vector<std::string> log;
    std::vector<uint32_t> moduleBufferSizes; // sizes GetModuleFileNameA was asked with

    void AddFolder(const std::string& path) { entries[path] = sys::kFileAttributeDirectory; }
    void AddFile(const std::string& path) { entries[path] = 0x20; }
    bool IsFolder(const std::string& path) const {
        auto it = entries.find(path);
        return it != entries.end() && (it->second & sys::kFileAttributeDirectory);
    }
    bool IsFile(const std::string& path) const {
        auto it = entries.find(path);
        return it != entries.end() && !(it->second & sys::kFileAttributeDirectory);
    }

    uint32_t GetModuleFileNameA(char* buffer, uint32_t size) override {
        moduleBufferSizes.push_back(size);
        // As Windows does: copy what fits, and report the full size when it did not fit.
        size_t n = modulePath.size();
        if (n >= size) {
            std::memcpy(buffer, modulePath.data(), size);
            if (zeroEndsCutModulePath)
                buffer[size - 1] = '\0';
            return size;
        }
        std::memcpy(buffer, modulePath.c_str(), n + 1);
        return static_cast<uint32_t>(n);
    }
    uint32_t GetACP() override { return ansiCodePage; }
    int GetCPInfo(uint32_t codePage, sys::CodePageInfo& info) override {
        info = sys::CodePageInfo();
        if (codePage == 932) {
            const unsigned char ranges[] = {0x81, 0x9F, 0xE0, 0xFC};
            std::memcpy(info.leadByte, ranges, sizeof(ranges));
            return 1;
        }
        return codePage == 1252 ? 1 : 0;
    }
    uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) override {
        log.push_back("GetWindowsDirectoryA " + std::to_string(size));
        std::memcpy(buffer, windowsDir.data(), std::min<size_t>(windowsDir.size(), size));
        if (windowsDir.size() < size)
            buffer[windowsDir.size()] = '\0';
        if (windowsDirResult)
            return windowsDirResult(size);
        return windowsDir.size() < size ? static_cast<uint32_t>(windowsDir.size())
                                        : static_cast<uint32_t>(windowsDir.size() + 1);
    }
    uint32_t GetFileAttributesA(const char* path) override {
        log.push_back(std::string("GetFileAttributesA ") + path);
        auto it = entries.find(path);
        return it == entries.end() ? sys::kInvalidFileAttributes : it->second;
    }
    int CreateDirectoryA(const char* path) override {
        log.push_back(std::string("CreateDirectoryA ") + path);
        std::string p = path;
        if (entries.count(p) || !IsFolder(Parent(p)) || readOnlyDirs.count(Parent(p)))
            return 0;
        AddFolder(p);
        return 1;
    }
    int CopyFileA(const char* source, const char* destination, int failIfExists) override {
        log.push_back(std::string("CopyFileA ") + source + " -> " + destination +
                      (failIfExists ? " fail-if-exists" : " overwrite"));
        std::string d = destination;
        if (!IsFile(source) || !IsFolder(Parent(d)) || IsFolder(d) || locked.count(d) ||
            (failIfExists && entries.count(d)))
            return 0;
        AddFile(d);
        copied.push_back(d);
        return 1;
    }
    intptr_t ShellExecuteA(const char* operation, const char* file, int showCommand) override {
        log.push_back(std::string("ShellExecuteA ") + (operation ? operation : "(default)") + " " +
                      file + " show=" + std::to_string(showCommand));
        return IsFile(file) ? 42 : 2; // above 32 is success, 2 is file not found
    }
    void ShowNotice(const Text& text) override {
        log.push_back("ShowNotice " + std::string(text.CStr(), text.Length()));
    }
    void CloseMainWindow() override { log.push_back("CloseMainWindow"); }

    std::vector<std::string> copied; // destinations written, in order

    // Only the calls whose log line starts with prefix.
    std::vector<std::string> Calls(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& line : log)
            if (line.compare(0, prefix.size(), prefix) == 0)
                out.push_back(line);
        return out;
    }

private:
    // Up to the last separator, passing over the trail bytes of code page 932.
    static std::string Parent(const std::string& path) {
        size_t slash = std::string::npos;
        for (size_t i = 0; i < path.size(); ++i) {
            unsigned char b = static_cast<unsigned char>(path[i]);
            if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))
                ++i;
            else if (b == '\\')
                slash = i;
        }
        return slash == std::string::npos ? std::string() : path.substr(0, slash);
    }
};
