#include "app/prefs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class Prefs : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zr_prefs_" + std::to_string(getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    file_ = dir_ / "nested" / "Zurararudud.ini";
    store_ = app::MakeUserPrefsStore(file_.string());
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  fs::path dir_, file_;
  std::unique_ptr<app::PrefsStore> store_;
};

TEST_F(Prefs, AbsentAndEmptyReadAsTheMarker) {
  EXPECT_EQ(app::ReadPref(*store_, "LoginPrefs", "ServerName"), "!PREFS_OPERATION_ERROR!");
  EXPECT_FALSE(fs::exists(file_));  // reading creates nothing
  ASSERT_TRUE(app::WritePref(*store_, "LoginPrefs", "ServerName", ""));
  EXPECT_EQ(app::ReadPref(*store_, "LoginPrefs", "ServerName"), "!PREFS_OPERATION_ERROR!");
  ASSERT_TRUE(app::WritePref(*store_, "LoginPrefs", "Other", "x"));
  EXPECT_EQ(app::ReadPref(*store_, "LoginPrefs", "Missing"), "!PREFS_OPERATION_ERROR!");
  EXPECT_EQ(app::ReadPref(*store_, "NoSuchSection", "Other"), "!PREFS_OPERATION_ERROR!");
}

TEST_F(Prefs, KeyPathsAndSectionsInTheFile) {
  ASSERT_TRUE(app::WritePref(*store_, "LoginPrefs", "ServerName", "SRV1"));
  ASSERT_TRUE(app::WritePref(*store_, "LoginPrefs\\ServerList", "Server1", "SRV1"));
  ASSERT_TRUE(app::WritePref(*store_, "LoginPrefs\\ServerList", "Server2", "HOST\\SQLEXPRESS"));
  EXPECT_EQ(Slurp(file_),
            "[\\Software\\Tivorka\\Zurararudud\\LoginPrefs]\n"
            "ServerName=SRV1\n"
            "[\\Software\\Tivorka\\Zurararudud\\LoginPrefs\\ServerList]\n"
            "Server1=SRV1\n"
            "Server2=HOST\\SQLEXPRESS\n");
  // The same store as seen through the full key path.
  EXPECT_EQ(store_->Read("\\Software\\Tivorka\\Zurararudud\\LoginPrefs\\ServerList", "Server2"), "HOST\\SQLEXPRESS");
  // Names of keys and values ignore letter case, as the registry's do.
  EXPECT_EQ(app::ReadPref(*store_, "loginprefs\\SERVERLIST", "server1"), "SRV1");
  ASSERT_TRUE(app::WritePref(*store_, "LOGINPREFS", "SERVERNAME", "SRV2"));
  EXPECT_EQ(app::ReadPref(*store_, "LoginPrefs", "ServerName"), "SRV2");
  EXPECT_EQ(Slurp(file_).find("SRV1\n["), std::string::npos);  // replaced, not added
}

TEST_F(Prefs, AnyTextRoundTrips) {
  const std::string values[] = {"  blanks at both ends  ", "a=b;c[d]e", "100% pewne", "dwie\nlinie\r\n",
                                "zażółć gęślą jaźń",       "[Section]", "tab\there",  "%41 stays"};
  int k = 0;
  for (const std::string& v : values) ASSERT_TRUE(app::WritePref(*store_, "S", "v" + std::to_string(k++), v)) << v;
  ASSERT_TRUE(app::WritePref(*store_, "odd]section=", " name=with;odd[chars ", "value"));
  auto reopened = app::MakeUserPrefsStore(file_.string());
  k = 0;
  for (const std::string& v : values) EXPECT_EQ(app::ReadPref(*reopened, "S", "v" + std::to_string(k++)), v);
  EXPECT_EQ(app::ReadPref(*reopened, "odd]section=", " name=with;odd[chars "), "value");
}

TEST_F(Prefs, HandEditsSurviveAWrite) {
  fs::create_directories(file_.parent_path());
  std::ofstream(file_) << "; kept comment\r\n[\\Software\\Tivorka\\Zurararudud\\LoginPrefs]\r\n"
                          "  DataBase = Firma  \r\n\r\n[Other]\r\nx=1\r\n";
  EXPECT_EQ(app::ReadPref(*store_, "LoginPrefs", "DataBase"), "Firma");
  ASSERT_TRUE(app::WritePref(*store_, "LoginPrefs", "ServerName", "SRV"));
  EXPECT_EQ(Slurp(file_),
            "; kept comment\n[\\Software\\Tivorka\\Zurararudud\\LoginPrefs]\nDataBase=Firma\nServerName=SRV\n\n"
            "[Other]\nx=1\n");
  for (const auto& e : fs::directory_iterator(file_.parent_path()))
    EXPECT_EQ(e.path().filename(), "Zurararudud.ini") << "left behind: " << e.path();
}

TEST_F(Prefs, UnwritablePlaceGivesFalse) {
  if (geteuid() == 0) {
    // root writes anywhere: make the parent a file instead.
    fs::create_directories(dir_);
    std::ofstream(dir_ / "nested") << "not a folder";
  } else {
    fs::create_directories(dir_);
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  }
  EXPECT_FALSE(app::WritePref(*store_, "LoginPrefs", "ServerName", "SRV"));
  EXPECT_EQ(app::ReadPref(*store_, "LoginPrefs", "ServerName"), "!PREFS_OPERATION_ERROR!");
}

class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~EnvVar() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST_F(Prefs, WhereTheUserStoreLives) {
  const fs::path xdg = dir_ / "xdg", home = dir_ / "home", env = dir_ / "env.ini";
  {
    EnvVar p("ZURARARUDUD_PREFS", nullptr), x("XDG_CONFIG_HOME", xdg.c_str()), h("HOME", home.c_str());
    ASSERT_TRUE(app::WritePref(*app::MakeUserPrefsStore(), "A", "v", "1"));
    EXPECT_TRUE(fs::exists(xdg / "Tivorka" / "Zurararudud.ini"));
  }
  {
    EnvVar p("ZURARARUDUD_PREFS", nullptr), x("XDG_CONFIG_HOME", nullptr), h("HOME", home.c_str());
    ASSERT_TRUE(app::WritePref(*app::MakeUserPrefsStore(), "A", "v", "2"));
    EXPECT_TRUE(fs::exists(home / ".config" / "Tivorka" / "Zurararudud.ini"));
  }
  {
    EnvVar p("ZURARARUDUD_PREFS", env.c_str()), x("XDG_CONFIG_HOME", xdg.c_str());
    ASSERT_TRUE(app::WritePref(*app::MakeUserPrefsStore(), "A", "v", "3"));
    EXPECT_TRUE(fs::exists(env));
    // An explicit location wins over the variable.
    ASSERT_TRUE(app::WritePref(*app::MakeUserPrefsStore(file_.string()), "A", "v", "4"));
    EXPECT_EQ(app::ReadPref(*app::MakeUserPrefsStore(env.string()), "A", "v"), "3");
    EXPECT_EQ(app::ReadPref(*store_, "A", "v"), "4");
  }
}

}  // namespace
