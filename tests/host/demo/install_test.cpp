// make install: the installed folder is a library that Pd loads through
// [declare -path ringcube]. make package: the deken archive names every
// machine whose externals the folder holds.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "pd_host.hpp"

namespace fs = std::filesystem;

namespace {

std::string run(const std::string &command, bool succeeds = true) {
    const std::string out =
        fs::path(RC_TEST_TMP) / ("install-" + std::to_string(getpid()) + ".txt");
    const int status = std::system((command + " >'" + out + "' 2>&1").c_str());
    const std::string text = pd_host::read_file(out);
    fs::remove(out);
    EXPECT_EQ(status == 0, succeeds) << command << "\n" << text;
    return text;
}

TEST(DemoInstall, StagedFolderLoadsInPd) {
    fs::create_directories(RC_TEST_TMP);
    const fs::path stage = fs::path(RC_TEST_TMP) / ("stage-" + std::to_string(getpid()));
    const fs::path externals = "/usr/local/lib/pd-externals";
    fs::remove_all(stage);
    run("DESTDIR='" + stage.string() + "' '" RC_CMAKE "' --install '" RC_BINARY_DIR "' --prefix " +
        externals.string());

    const fs::path library = stage.string() + externals.string() + "/ringcube";
    for (const char *file :
         {"sorvel~" RC_EXTENSION, "kelmor~" RC_EXTENSION, "trazin~" RC_EXTENSION, "sorvel~-help.pd",
          "kelmor~-help.pd", "trazin~-help.pd", "stereo_monitor~.pd", "stereo_monitor~-help.pd",
          "binaural~.pd", "README.md", "LICENSE"})
        EXPECT_TRUE(fs::exists(library / file)) << file;
    // The externals of the other machines built beside this one's go too.
    for (const fs::directory_entry &built : fs::directory_iterator(RC_LIBRARY_DIR))
        EXPECT_TRUE(fs::exists(library / built.path().filename())) << built.path();

    // [declare -path ringcube] in a patch beside the folder: Pd finds the
    // folder relative to the patch as it finds it in its standard externals
    // folder.
    const fs::path patch = stage.string() + externals.string() + "/user.pd";
    std::ofstream(patch) << "#N canvas 0 0 400 300 12;\n"
                            "#X declare -path ringcube;\n"
                            "#X obj 10 10 declare -path ringcube;\n"
                            "#X obj 10 40 sorvel~ 8;\n"
                            "#X obj 10 70 kelmor~ 8;\n"
                            "#X obj 10 100 trazin~;\n";
    const std::string console = run("timeout 60 '" + pd_host::pd_program() +
                                    "' -nogui -batch -noprefs -nosound -nostdpath -stderr -open '" +
                                    patch.string() + "' -send 'pd quit'");
    EXPECT_EQ(console.find("couldn't create"), std::string::npos) << console;
    fs::remove_all(stage);
}

TEST(DemoInstall, PackageNamesEveryMachineOfTheFolder) {
    fs::create_directories(RC_TEST_TMP);
    const fs::path stage = fs::path(RC_TEST_TMP) / ("package-" + std::to_string(getpid()));
    fs::remove_all(stage);
    fs::create_directories(stage);
    fs::copy(RC_LIBRARY_DIR, stage / "ringcube");
    // machines.txt: machine platform extension deken ...
    std::string name = "ringcube[v" RINGCUBE_VERSION "]";
    std::ifstream machines(RC_SOURCE_DIR "/machines.txt");
    for (std::string line; std::getline(machines, line);) {
        std::istringstream row(line);
        std::string machine, platform, extension, deken;
        if (line.empty() || line[0] == '#' || !(row >> machine >> platform >> extension >> deken))
            continue;
        if (extension != "-" && fs::exists(stage / "ringcube" / ("sorvel~" + extension)))
            name += "(" + deken + "-32)";
    }
    const std::string package = "'" RC_CMAKE "' -DFOLDER='" + (stage / "ringcube").string() +
                                "' -DVERSION=" RINGCUBE_VERSION
                                " '-DOBJECTS=sorvel;kelmor;trazin' -P '" RC_SOURCE_DIR
                                "/cmake/package.cmake'";
    run(package);
    EXPECT_TRUE(fs::exists(stage / (name + ".dek"))) << name;
    run("cd '" + stage.string() + "' && sha256sum -c '" + name + ".dek.sha256'");

    // A machine that lacks an object is refused rather than packed.
    fs::remove(stage / "ringcube" / "trazin~" RC_EXTENSION);
    run(package, false);
    fs::remove_all(stage);
}

} // namespace
