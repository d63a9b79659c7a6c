#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/registry_ini_file.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

TEST(RegistryIniFile, LivesBelowTheConfigFolder)
{
    EXPECT_EQ(RegistryIniFile::DefaultPath(), RegistryPath());
    EXPECT_EQ(RegistryIniFile().path(), RegistryPath());

    const std::string home = TestHome() + "home";
    ScopedEnv homeVar("HOME", home.c_str());
    {
        ScopedEnv unset("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(RegistryIniFile::DefaultPath(), home + "/.config/Vasp/Registry.ini");
    }
    {
        ScopedEnv empty("XDG_CONFIG_HOME", "");
        EXPECT_EQ(RegistryIniFile::DefaultPath(), home + "/.config/Vasp/Registry.ini");
        RegistryIniFile registry;
        ASSERT_TRUE(registry.WriteString("System", "Language", "Deutsch"));
        EXPECT_EQ(ReadTestFile(home + "/.config/Vasp/Registry.ini"), "[System]\r\nLanguage=Deutsch\r\n");
    }
}

TEST(RegistryIniFile, FirstWriteCreatesTheFolderAndTheFile)
{
    RegistryIniFile registry;
    EXPECT_EQ(registry.ReadString("Exe", "Derodi"), "");
    EXPECT_EQ(registry.ReadString("Exe", "Derodi", "none"), "none");
    EXPECT_FALSE(fs::exists(TestHome() + "config/Vasp")) << "reading must not create anything";

    ASSERT_TRUE(registry.WriteString("Exe", "Derodi", "/opt/vasp/Derodi"));
    ASSERT_TRUE(registry.WriteString("System", "Language", "Französisch"));
    ASSERT_TRUE(registry.WriteString("EXE", "Ordalin", "/opt/vasp/Ordalin"));
    EXPECT_EQ(ReadTestFile(RegistryPath()),
              "[Exe]\r\nDerodi=/opt/vasp/Derodi\r\nOrdalin=/opt/vasp/Ordalin\r\n"
              "\r\n[System]\r\nLanguage=Franz\xC3\xB6sisch\r\n");
}

TEST(RegistryIniFile, NamesIgnoreCaseAndRewritesKeepOneLine)
{
    RegistryIniFile registry;
    ASSERT_TRUE(registry.WriteString("Exe", "Derodi", "/a/Derodi"));
    ASSERT_TRUE(registry.WriteString("exe", "DERODI", "/b/Derodi"));
    EXPECT_EQ(ReadTestFile(RegistryPath()), "[Exe]\r\nDerodi=/b/Derodi\r\n");
    EXPECT_EQ(registry.ReadString("EXE", "derodi"), "/b/Derodi");
    EXPECT_TRUE(registry.ValueExists("Exe", "DERODI"));
    EXPECT_FALSE(registry.ValueExists("Exe", "Zorak"));
    EXPECT_FALSE(registry.ValueExists("System", "Derodi"));
    ASSERT_TRUE(registry.WriteString("Exe", "Zorak", "/c/Zorak"));
    EXPECT_EQ(registry.ReadValueNames("exe"), (std::vector<std::string>{"Derodi", "Zorak"}));
    ASSERT_TRUE(registry.DeleteValue("Exe", "derodi"));
    EXPECT_EQ(registry.ReadString("Exe", "Derodi", "gone"), "gone");
}

TEST(RegistryIniFile, Windows1252ValuesAreRead)
{
    // A file kept by an older program of the family, in the Windows code page.
    WriteTestFile(RegistryPath(), "[System]\r\nLanguage=Franz\xF6sisch\r\n");
    EXPECT_EQ(RegistryIniFile().ReadString("System", "Language"), "Franz\xC3\xB6sisch");
}

TEST(RegistryIniFile, UnwritableFolderFailsWithoutHarm)
{
    // A file where the folder "Vasp" should be: nothing can be written.
    WriteTestFile(TestHome() + "config/Vasp", "in the way");
    RegistryIniFile registry;
    EXPECT_FALSE(registry.WriteString("Exe", "Derodi", "/a/Derodi"));
    EXPECT_EQ(ReadTestFile(TestHome() + "config/Vasp"), "in the way");
    EXPECT_EQ(registry.ReadString("Exe", "Derodi", "none"), "none");
}
