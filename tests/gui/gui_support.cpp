#include "gui_support.h"

#include <memory>

namespace guitest {

namespace {

int g_argc = 1;
char g_name[] = "test_gui";
char* g_argv[] = {g_name, nullptr};
std::unique_ptr<QApplication> g_app;

class AppEnvironment : public ::testing::Environment {
 public:
  void TearDown() override { g_app.reset(); }
};

// gtest takes ownership of the environment it is given.
[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new AppEnvironment);

}  // namespace

QApplication& App() {
  if (!g_app) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    g_app = std::make_unique<QApplication>(g_argc, g_argv);
  }
  return *g_app;
}

}  // namespace guitest
