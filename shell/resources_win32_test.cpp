// Reads the version information and the icon back from the built kelvaro.exe.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace kelvaro {
namespace {

// kelvaro.exe is built next to the test program.
std::string program_path() {
  char self[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path(self, length);
  return path.substr(0, path.find_last_of("\\/") + 1) + KELVARO_EXE_NAME;
}

std::vector<char> version_info() {
  std::string path = program_path();
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  std::vector<char> data(size);
  if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, data.data())) {
    ADD_FAILURE() << path << ": no version information, error " << GetLastError();
    data.clear();
  }
  return data;
}

std::string string_value(std::vector<char>& info, const std::string& name) {
  void* value = nullptr;
  UINT length = 0;
  std::string query = "\\StringFileInfo\\080403A8\\" + name;
  if (!VerQueryValueA(info.data(), query.c_str(), &value, &length) || !value) return "<missing>";
  return std::string(static_cast<const char*>(value),
                     strnlen(static_cast<const char*>(value), length));
}

TEST(ResourcesWin32, VersionNumbers) {
  std::vector<char> info = version_info();
  ASSERT_FALSE(info.empty());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00020002u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00020002u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST(ResourcesWin32, TranslationIsChineseInCodePage936) {
  std::vector<char> info = version_info();
  ASSERT_FALSE(info.empty());
  WORD* pair = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&pair), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(pair[0], 0x0804);
  EXPECT_EQ(pair[1], 936);
}

TEST(ResourcesWin32, VersionStrings) {
  std::vector<char> info = version_info();
  ASSERT_FALSE(info.empty());
  EXPECT_EQ(string_value(info, "FileVersion"), "1.0.2.2");
  EXPECT_EQ(string_value(info, "ProductVersion"), "1.0.2.2");
  EXPECT_EQ(string_value(info, "FileDescription"), "Kelvaro");
  EXPECT_EQ(string_value(info, "InternalName"), "VantuC - Kelvaro");
  EXPECT_EQ(string_value(info, "ProductName"), "VantuC - Kelvaro");
  EXPECT_EQ(string_value(info, "CompanyName"), "VantuC");
  EXPECT_EQ(string_value(info, "OriginalFilename"), "kelvaro.exe");
  EXPECT_NE(string_value(info, "LegalCopyright").find("VantuC"), std::string::npos);
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width;  // 0 stands for 256
  BYTE height;
  BYTE colours;
  BYTE reserved;
  WORD planes;
  WORD bit_count;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

struct Module {
  HMODULE handle;
  ~Module() {
    if (handle) FreeLibrary(handle);
  }
};

std::string resource_bytes(HMODULE module, const char* type, const char* name) {
  HRSRC found = FindResourceA(module, name, type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

TEST(ResourcesWin32, IconHas16To256PixelImages) {
  std::string path = program_path();
  Module module{LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)};
  ASSERT_NE(module.handle, nullptr) << path << ": error " << GetLastError();

  std::string group = resource_bytes(module.handle, RT_GROUP_ICON, MAKEINTRESOURCEA(1));
  ASSERT_GE(group.size(), 6u) << "no RT_GROUP_ICON 1";
  WORD header[3];
  std::memcpy(header, group.data(), sizeof header);
  EXPECT_EQ(header[0], 0);
  EXPECT_EQ(header[1], 1);
  ASSERT_EQ(group.size(), 6 + header[2] * sizeof(GroupIconEntry));

  std::set<int> sizes;
  for (int i = 0; i < header[2]; ++i) {
    GroupIconEntry entry;
    std::memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
    int side = entry.width ? entry.width : 256;
    EXPECT_EQ(entry.width, entry.height);
    EXPECT_EQ(entry.bit_count, 32);
    sizes.insert(side);

    std::string image = resource_bytes(module.handle, RT_ICON, MAKEINTRESOURCEA(entry.id));
    ASSERT_EQ(image.size(), entry.bytes) << side << " px";
    if (side == 256) {
      EXPECT_EQ(image.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    } else {
      BITMAPINFOHEADER bitmap;
      ASSERT_GE(image.size(), sizeof bitmap);
      std::memcpy(&bitmap, image.data(), sizeof bitmap);
      EXPECT_EQ(bitmap.biSize, sizeof bitmap);
      EXPECT_EQ(bitmap.biWidth, side);
      EXPECT_EQ(bitmap.biHeight, 2 * side);
      EXPECT_EQ(bitmap.biBitCount, 32);
    }
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 256}));
}

TEST(ResourcesWin32, IconLoadsAtItsSizes) {
  std::string path = program_path();
  Module module{LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)};
  ASSERT_NE(module.handle, nullptr) << path << ": error " << GetLastError();
  for (int side : {16, 32, 48}) {
    HICON icon = static_cast<HICON>(
        LoadImageA(module.handle, MAKEINTRESOURCEA(1), IMAGE_ICON, side, side, 0));
    EXPECT_NE(icon, nullptr) << side << " px: error " << GetLastError();
    if (icon) DestroyIcon(icon);
  }
}

}  // namespace
}  // namespace kelvaro
