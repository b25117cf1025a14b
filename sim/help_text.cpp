#include "sim/help_text.h"

#include "sim/emulator.h"

namespace ulvo {

std::string SimHelp() {
  // Options are indented and their descriptions start in one column, so that help2man turns
  // them into a list.
  return SimUsage() +
         "\n"
         "Emulator drukarek fiskalnych ULVO (Alta, Alta Plus, Alta Pro, Mavito; wersje Bus\n"
         "i z kopią elektroniczną) na pseudoterminalu. Pierwszy wiersz, który wypisuje, podaje\n"
         "ścieżkę pseudoterminala i ustawienie ULVO_COM1=..., z którym program ulvo widzi\n"
         "emulator jako port COM 1. Emulator działa do Ctrl+C albo SIGTERM.\n"
         "\n"
         "Opcje:\n"
         "  --family RODZINA    rodzina drukarki: alta, altapro albo mavito (domyślnie mavito)\n"
         "  --bus               wersja Bus (biletowa) drukarki Alta Pro lub Mavito\n"
         "  --ecopy             Mavito z kopią elektroniczną\n"
         "  --settings PLIK     drukarka, którą wskazuje plik ustawień programu (ustaw.txt)\n"
         "  --fiscal            start w trybie fiskalnym (domyślnie tryb szkoleniowy)\n"
         "  --no-unique         drukarka bez numeru unikatowego\n"
         "  --baud N            odpowiedzi z prędkością N bodów, 10 bitów na bajt\n"
         "                      (domyślnie 9600; 0 = bez opóźnień)\n"
         "  --log PLIK          zapis ruchu: jeden wiersz na ramkę z czasem i kierunkiem\n"
         "  --control ŚCIEŻKA   gniazdo Unix na polecenia sterujące\n"
         "  --listen HOST:PORT  ta sama linia także przez TCP (surowe bajty, jeden klient\n"
         "                      naraz), np. dla programu kasowego w sieci\n"
         "  --replay PLIK.pcap  odpowiedzi jak w przechwyceniu (program ulvo, ulvo-cli\n"
         "                      --capture): każdy odebrany rozkaz porównany z kolejnym\n"
         "                      nagranym, rozbieżność na stderr z obiema ramkami\n"
         "  --no-answer         drukarka nie odpowiada\n"
         "  --delay MS          odpowiedzi opóźnione o MS milisekund\n"
         "  --offline           drukarka w stanie off-line\n"
         "  --paper-out         brak papieru\n"
         "  --mech-error        błąd mechanizmu drukującego\n"
         "  --garbage N         N przypadkowych bajtów przed następną odpowiedzią\n"
         "  --help              ten opis\n"
         "  --version           wersja emulatora\n"
         "\n"
         "Polecenia sterujące (po jednym wierszu przez gniazdo --control, odpowiedź ok,\n"
         "ok WARTOŚĆ albo error OPIS): noanswer on|off, delay MS, online on|off,\n"
         "paperout on|off, mecherror on|off, xoff, xon, garbage N, badcheck,\n"
         "refuse KOD [ROZKAZ] (np. refuse 5 $d), fiscal on|off, echo on|off,\n"
         "send BAJTY_HEX, disconnect, reset oraz get POZYCJA.\n"
         "\n"
         "Na Linuksie port szeregowy prawdziwej drukarki wymaga członkostwa w grupie dialout.\n";
}

}  // namespace ulvo
