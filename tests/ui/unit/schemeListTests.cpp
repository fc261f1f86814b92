// Which scheme files the options page offers, under which names, and which file a shown name
// stands for.
#include <doctest.h>

#include <string>
#include <vector>

#include "dialogDriving.h"
#include "moduleFixture.h"
#include "testSupport.h"
#include "ui/schemeList.h"

using namespace kivtest;

namespace {

class comboBox {
public:
    comboBox()
        : window(CreateWindowExA(0, "COMBOBOX", "", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 200, 200, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr)) {}
    ~comboBox() { DestroyWindow(window); }
    comboBox(const comboBox&) = delete;
    comboBox& operator=(const comboBox&) = delete;

    std::vector<std::string> items() const {
        std::vector<std::string> texts;
        auto count = static_cast<int>(SendMessageA(window, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[1100] = "";
            SendMessageA(window, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            texts.push_back(text);
        }
        return texts;
    }

    HWND window;
};

std::string scheme(int version, const std::string& title) {
    std::string text = "[skin]\r\n";
    if (version) text += "ver=" + std::to_string(version) + "\r\n";
    return text + "[info]\r\ntitle=" + title + "\r\n";
}

// The file names in the order the file system hands them out, as the list sees them.
std::vector<std::string> scanOrder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.kivs").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

}  // namespace

TEST_CASE_FIXTURE(moduleFixture, "schemes of version 2 and above are listed under their title or file name") {
    std::string folder = scratchFolder("scheme-list");
    writeFile(folder + "alfa.kivs", scheme(2, "Alfa zielona"));
    writeFile(folder + "stary.kivs", scheme(1, "Stary"));
    writeFile(folder + "bez-wersji.kivs", scheme(0, "Bez wersji"));
    writeFile(folder + "ujemny.kivs", scheme(-4, "Ujemny"));
    writeFile(folder + "bez-tytulu.kivs", scheme(3, ""));
    writeFile(folder + "polski.kivs", scheme(2, "Źdźbło"));
    writeFile(folder + "notes.txt", scheme(2, "Nie schemat"));
    CreateDirectoryA((folder + "katalog.kivs").c_str(), nullptr);
    writeFile(folder + std::string(128, 'd') + ".kivs", scheme(2, "Za długa nazwa"));

    comboBox list;
    kiv::schemeList schemes;
    schemes.scan(folder.c_str(), list.window);

    std::vector<std::string> expected;
    for (const std::string& file : scanOrder(folder)) {
        if (file == "alfa.kivs") expected.push_back("Alfa zielona");
        if (file == "bez-tytulu.kivs") expected.push_back("bez-tytulu.kivs");
        if (file == "polski.kivs") expected.push_back("Źdźbło");
    }
    CHECK(list.items() == expected);  // file-system order, not sorted

    // Each item stands for its file; files are found in any letter case, as the file system finds them.
    for (const char* file : {"alfa.kivs", "bez-tytulu.kivs", "polski.kivs", "ALFA.KIVS"}) {
        CAPTURE(file);
        const int item = schemes.itemOf(file);
        REQUIRE(item >= 0);
        CHECK(sameText(schemes.fileAt(item), file));
    }
    for (const char* file : {"stary.kivs", "bez-wersji.kivs", "ujemny.kivs", "katalog.kivs", "notes.txt"})
        CHECK(schemes.itemOf(file) == -1);
    CHECK(schemes.fileAt(-1).empty());
    CHECK(schemes.fileAt(static_cast<int>(expected.size())).empty());
}

TEST_CASE_FIXTURE(moduleFixture, "schemes with one title are shown with their file names; each item keeps its file") {
    std::string folder = scratchFolder("scheme-duplicates");
    writeFile(folder + "pierwszy.kivs", scheme(2, "Duplikat"));
    writeFile(folder + "drugi.kivs", scheme(2, "DUPLIKAT"));
    writeFile(folder + "jedyny.kivs", scheme(2, "Jedyny"));
    comboBox list;
    kiv::schemeList schemes;
    schemes.scan(folder.c_str(), list.window);
    std::vector<std::string> expected;
    for (const std::string& file : scanOrder(folder)) {
        if (file == "pierwszy.kivs") expected.push_back("Duplikat (pierwszy.kivs)");
        if (file == "drugi.kivs") expected.push_back("DUPLIKAT (drugi.kivs)");
        if (file == "jedyny.kivs") expected.push_back("Jedyny");
    }
    CHECK(list.items() == expected);
    for (int item = 0; item < 3; ++item) CHECK(schemes.itemOf(schemes.fileAt(item)) == item);
}

TEST_CASE_FIXTURE(moduleFixture, "each scan starts from nothing; a missing folder lists nothing") {
    std::string folder = scratchFolder("scheme-rescan");
    writeFile(folder + "jeden.kivs", scheme(2, "Jeden"));
    kiv::schemeList schemes;
    {
        comboBox list;
        schemes.scan(folder.c_str(), list.window);
        CHECK(schemes.fileAt(0) == "jeden.kivs");
    }
    DeleteFileA((folder + "jeden.kivs").c_str());
    writeFile(folder + "dwa.kivs", scheme(2, "Dwa"));
    comboBox list;
    schemes.scan(folder.c_str(), list.window);
    CHECK(list.items() == std::vector<std::string>{"Dwa"});
    CHECK(schemes.itemOf("jeden.kivs") == -1);
    CHECK(schemes.fileAt(0) == "dwa.kivs");

    comboBox empty;
    schemes.scan((folder + "nie-ma\\").c_str(), empty.window);
    CHECK(empty.items().empty());
    CHECK(schemes.itemOf("dwa.kivs") == -1);
}
