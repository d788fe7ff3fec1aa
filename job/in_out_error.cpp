#include "job/in_out_error.h"

namespace korvu::job {

std::string InOutMessage(int code) {
  switch (code) {
    case 2:
      return "Datei nicht gefunden";
    case 3:
      return "Ungültiger Dateiname";
    case 4:
      return "Zu viele geöffnete Dateien";
    case 5:
      return "Dateizugriff verweigert";
    case 100:
      return "Versuch hinter dem Dateiende zu lesen";
    case 101:
      return "Zu wenig Speicherplatz";
    case 106:
      return "Ungültige numerische Eingabe";
    default:
      return "E/A-Fehler " + std::to_string(code);
  }
}

}  // namespace korvu::job
