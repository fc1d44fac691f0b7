// The executable's resources, read from the file as Explorer would: one icon
// group with the nine sizes, one 32 x 32 monochrome cursor, and a manifest
// asking for version 6 of the common controls.
#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "ui_test_support.h"

namespace corvane::ui::test {
namespace {

struct ModuleDeleter {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using OwnedModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter>;

#pragma pack(push, 2)
struct GroupEntry {  // one image of an icon or cursor group
    WORD widthOrBytes;  // icons: BYTE width, BYTE height; cursors: WORD width
    WORD heightOrColours;  // cursors: WORD height (both masks)
    WORD planes;
    WORD bitCount;
    DWORD bytesInResource;
    WORD id;
};
struct GroupHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

std::string ExecutablePath() {
    if (!g_resourceExecutable.empty()) return g_resourceExecutable;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::vector<LPSTR> NamesOf(HMODULE module, LPCSTR type) {
    std::vector<LPSTR> names;
    EnumResourceNamesA(
        module, type,
        [](HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
            reinterpret_cast<std::vector<LPSTR>*>(found)->push_back(name);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&names));
    return names;
}

std::string ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(module, name, type);
    if (!found) return {};
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return data ? std::string(data, SizeofResource(module, found)) : std::string{};
}

class ExecutableResources : public testing::Test {
protected:
    void SetUp() override {
        module_.reset(LoadLibraryExA(ExecutablePath().c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module_) << ExecutablePath() << ": error " << GetLastError();
    }
    OwnedModule module_;
};

TEST_F(ExecutableResources, OneIconGroupWithNineSquareSizes) {
    const auto groups = NamesOf(module_.get(), RT_GROUP_ICON);
    ASSERT_EQ(groups.size(), 1u);
    const std::string group = ResourceBytes(module_.get(), groups[0], RT_GROUP_ICON);
    ASSERT_GE(group.size(), sizeof(GroupHeader));
    const auto* header = reinterpret_cast<const GroupHeader*>(group.data());
    EXPECT_EQ(header->type, 1);
    ASSERT_EQ(group.size(), sizeof(GroupHeader) + header->count * sizeof(GroupEntry));

    std::multiset<int> sizes;
    const auto* entries = reinterpret_cast<const GroupEntry*>(group.data() + sizeof(GroupHeader));
    for (WORD i = 0; i < header->count; ++i) {
        const int width = LOBYTE(entries[i].widthOrBytes), height = HIBYTE(entries[i].widthOrBytes);
        EXPECT_EQ(width, height) << "square";
        sizes.insert(width == 0 ? 256 : width);  // 0 stands for 256
        EXPECT_NE(FindResourceA(module_.get(), MAKEINTRESOURCEA(entries[i].id), RT_ICON), nullptr);
    }
    EXPECT_EQ(sizes, (std::multiset<int>{16, 20, 24, 32, 40, 48, 64, 128, 256}));
}

TEST_F(ExecutableResources, OneMonochromeCursorOf32By32) {
    const auto groups = NamesOf(module_.get(), RT_GROUP_CURSOR);
    ASSERT_EQ(groups.size(), 1u);
    const std::string group = ResourceBytes(module_.get(), groups[0], RT_GROUP_CURSOR);
    ASSERT_EQ(group.size(), sizeof(GroupHeader) + sizeof(GroupEntry));
    const auto* header = reinterpret_cast<const GroupHeader*>(group.data());
    EXPECT_EQ(header->type, 2);
    const auto* entry = reinterpret_cast<const GroupEntry*>(group.data() + sizeof(GroupHeader));
    EXPECT_EQ(entry->widthOrBytes, 32);
    EXPECT_EQ(entry->heightOrColours, 64) << "the AND and XOR masks, 32 rows each";
    EXPECT_EQ(entry->bitCount, 1);
}

TEST_F(ExecutableResources, ManifestAsksForCommonControlsVersion6) {
    const std::string manifest =
        ResourceBytes(module_.get(), CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_FALSE(manifest.empty());
    const auto dependency = manifest.find("name=\"Microsoft.Windows.Common-Controls\"");
    ASSERT_NE(dependency, std::string::npos);
    const auto identityEnd = manifest.find("/>", dependency);
    const std::string identity = manifest.substr(dependency, identityEnd - dependency);
    EXPECT_NE(identity.find("version=\"6.0.0.0\""), std::string::npos) << identity;
    EXPECT_NE(identity.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos) << identity;
}

// The manifest takes effect: the controls of this process (which carries the
// same resources) come from version 6 of the common controls.
TEST(CommonControls, Version6IsLoaded) {
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    if (!comctl) comctl = LoadLibraryA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    using GetVersion = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
    auto getVersion = reinterpret_cast<GetVersion>(reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")));
    ASSERT_NE(getVersion, nullptr);
    DLLVERSIONINFO version{};
    version.cbSize = sizeof version;
    ASSERT_EQ(getVersion(&version), S_OK);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(comctl, path, MAX_PATH);
    if (RunningUnderWine()) {
        // Wine's version 6 reports 5.x; it is told apart by the side-by-side assembly it is loaded from.
        std::string lower(path);
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_NE(lower.find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos) << path;
    } else {
        EXPECT_EQ(version.dwMajorVersion, 6u) << path;
    }
}

}  // namespace
}  // namespace corvane::ui::test
