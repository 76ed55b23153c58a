// The desktop program: the start-up sequence over the Qt forms, then the
// event loop until the program is told to end.
#include <QApplication>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/prefs.h"
#include "gui/qt_program.h"
#include "reconcile/objects/upgrade.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName(app::kApplicationTitle);

  wizard::ProgramConfig config;
  for (int i = 1; i < argc; ++i) config.params.emplace_back(argv[i]);
  config.programFile = QCoreApplication::applicationFilePath().toStdString();

  auto prefs = app::MakeUserPrefsStore();
  gui::QtProgram program(config, app::SystemClock(), *prefs,
                         [](wizard::TF_Main& f) { reconcile::RunUpgrade(f); });
  if (!program.Start()) return 1;
  return QApplication::exec();
}
