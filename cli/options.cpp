#include "cli/options.h"

#include "app/text.h"
#include "wizard/database.h"

namespace cli {

std::string UsageText() {
  return "Użycie: zurararudud-cli [opcje]\n"
         "Uaktualnia strukturę bazy SQL Server do wersji opisanej przez plik wzorca.\n"
         "\n"
         "  -s, --server SERWER     serwer SQL (także /SSERWER); sim:PLIK to symulator\n"
         "  -l, --login NAZWA       użytkownik (także /LNAZWA)\n"
         "  -p, --password HASŁO    hasło (także /PHASŁO; lepiej zmienna ZURARARUDUD_PASSWORD,\n"
         "                          bo wiersz poleceń widzą inni użytkownicy)\n"
         "  -d, --database BAZA     baza do wybrania (także /DBAZA; inaczej preferencja DataBase)\n"
         "      --template PLIK     plik wzorca zamiast Template.mdb obok programu\n"
         "      --reports KATALOG   katalog raportów zamiast Raporty obok programu\n"
         "      --prefs PLIK        plik preferencji\n"
         "      --list-queries      wypisuje zapisane zapytania i kończy\n"
         "      --run               wykonuje modyfikację wybranej bazy (bez tego: tylko wersje)\n"
         "  -h, --help              ta pomoc\n"
         "      --version           wersja programu\n"
         "\n"
         "Przełączniki /S /L /P /D są czytane tylko przy co najmniej dwóch parametrach.\n"
         "Wiersze dziennika idą na standardowe wyjście, komunikaty na standardowe wyjście błędów.\n"
         "Okna dialogowe: błąd jest wypisywany i zamykany, pytanie tak/nie dostaje odpowiedź \"nie\",\n"
         "błędna instrukcja jest zapisywana w katalogu raportów (Obiekt_bazy_..., bez nadpisywania).\n"
         "Kod wyjścia: 0 wykonano bez błędów (lub bez --run: pokazano wersje), 1 wykonano z błędami,\n"
         "2 nie można było wykonać (składnia, logowanie, wzorzec, baza, utracone połączenie).\n";
}

std::string ParseOptions(const std::vector<std::string>& args, const char* passwordEnv, Options& out) {
  out = Options{};
  out.params = args;
  out.switches = app::ParseLoginSwitches(args);
  const std::string d = wizard::DatabaseSwitch(args);
  if (args.size() >= 2) {
    for (const auto& a : args)
      if (app::UpperAZ(a.substr(0, 2)) == "/D") {
        out.database = d;
        break;
      }
  }
  std::optional<std::string> longPassword;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string a = args[i];
    if (a.size() >= 2 && a[0] == '/') continue;  // a switch, read above
    std::optional<std::string> inlineValue;
    if (a.rfind("--", 0) == 0) {
      const auto eq = a.find('=');
      if (eq != std::string::npos) {
        inlineValue = a.substr(eq + 1);
        a = a.substr(0, eq);
      }
    }
    auto value = [&](std::string& into) -> std::string {
      if (inlineValue) {
        into = *inlineValue;
        return "";
      }
      if (i + 1 >= args.size()) return "brak wartości opcji " + a;
      into = args[++i];
      return "";
    };
    std::string v, err;
    if (a == "-s" || a == "--server") {
      if (!(err = value(v)).empty()) return err;
      out.switches.server = v;
    } else if (a == "-l" || a == "--login") {
      if (!(err = value(v)).empty()) return err;
      out.switches.user = app::LoginUpper(v);
    } else if (a == "-p" || a == "--password") {
      if (!(err = value(v)).empty()) return err;
      longPassword = v;
    } else if (a == "-d" || a == "--database") {
      if (!(err = value(v)).empty()) return err;
      out.database = v;
    } else if (a == "--template") {
      if (!(err = value(out.templatePath)).empty()) return err;
    } else if (a == "--reports") {
      if (!(err = value(out.reportsFolder)).empty()) return err;
    } else if (a == "--prefs") {
      if (!(err = value(out.prefsFile)).empty()) return err;
    } else if (a == "--list-queries" && !inlineValue) {
      out.listQueries = true;
    } else if (a == "--run" && !inlineValue) {
      out.run = true;
    } else if ((a == "-h" || a == "--help") && !inlineValue) {
      out.help = true;
    } else if (a == "--version" && !inlineValue) {
      out.version = true;
    } else {
      return "nieznana opcja: " + args[i];
    }
  }
  if (longPassword) out.switches.password = longPassword;
  else if (!out.switches.password && passwordEnv) out.switches.password = passwordEnv;
  if (out.help || out.version || out.listQueries) return "";
  if (!out.switches.server || out.switches.server->empty()) return "nie podano serwera (--server lub /S)";
  if (!out.switches.user || out.switches.user->empty()) return "nie podano użytkownika (--login lub /L)";
  return "";
}

}  // namespace cli
