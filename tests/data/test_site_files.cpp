// Where a site's pictures, report files and attachments are looked for: the data folder of
// a folder site; for a site on a server the files folder setting, else the definitions
// folder, else nothing and one message.
#include "common/data/shipped_fixture.h"
#include "data/app_state.h"
#include "data/locations.h"
#include "data/prompter.h"

namespace tvtest {
namespace {

using namespace tv::data;

const QString kServer = QStringLiteral("postgresql://db.example/site");

struct FilesCase {
    const char* name;
    const char* data;  // "{a}" and "{b}" stand for two existing folders, "{gone}" for none
    const char* definitions;
    const char* files;
    const char* expected;
    const char* message;  // what the one message names; empty: none
};

class SiteFiles : public ShippedDatabasesTest, public ::testing::WithParamInterface<FilesCase> {
protected:
    ScratchFolder a, b;
    QString expand(const char* text) const {
        return QString::fromUtf8(text)
            .replace("{server}", kServer)
            .replace("{a}", a.path())
            .replace("{b}", b.path())
            .replace("{gone}", a.file("gone"));
    }
};

TEST_P(SiteFiles, FolderIsChosenAndAMissingOneToldOnce) {
    const FilesCase& c = GetParam();
    AppState& st = state();
    st.DataLocation = expand(c.data);
    st.DefinitionsLocation = expand(c.definitions);
    st.FilesLocation = expand(c.files);
    const QString told = expand(c.message);
    if (*c.message) ask.message(msgbox::kOk, told, "Site Files");
    EXPECT_EQ(siteFilesFolder(), expand(c.expected));
    // Looking again tells nothing more; an action the user chose is told each time.
    EXPECT_EQ(siteFile("Pictures/x.bmp").isEmpty(), !*c.expected);
    if (*c.message) ask.message(msgbox::kOk, told, "Site Files");
    EXPECT_EQ(siteFilesFolder(true), expand(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Choices, SiteFiles,
    ::testing::Values(
        FilesCase{"FolderSiteIgnoresTheSetting", "{a}/", "{b}", "{b}", "{a}", ""},
        FilesCase{"ServerWithTheSetting", "{server}", "{server}", "{b}", "{b}", ""},
        FilesCase{"ServerFallsBackToTheDefinitionsFolder", "{server}", "{a}", "", "{a}", ""},
        FilesCase{"ServerWithNothingSet", "{server}", "{server}", "", "", "no folder is set"},
        FilesCase{"ServerWithAFolderThatIsGone", "{server}", "{a}", "{gone}", "", "{gone}"},
        FilesCase{"ServerWithAServerAsFolder", "{server}", "{a}", "{server}", "", "{server}"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tvtest
