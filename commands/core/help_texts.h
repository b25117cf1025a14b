#pragma once
// The explanations shown by the help buttons of the configuration dialogs and of the printer
// settings readout (line breaks as the message boxes show them).

namespace ulvo {

// Response times.
inline constexpr const char* kHelpResponseTime =
    "Niektóre programy współpracujące z drukarką fiskalną do poprawnej\r\n"
    "pracy wymagają ściśle określonych czasów odpowiedzi\r\n"
    "od drukarki. Dlatego w zależności od używanego programu\r\n"
    "należy wybrać odpowiednią opcję:\r\n"
    "\r\n"
    "- Skorygowany czas odpowiedzi:\r\n"
    "        - Firma ++ ( FPP ) firmy CDN.\r\n"
    "- Domyślny czas odpowiedzi:\r\n"
    "        - Inne programy.";

// Deposits in a receipt line.
inline constexpr const char* kHelpDeposit =
    "Rozkaz obsługi kaucji w linijce paragonu:\r\n"
    " <ESC> Pi $l <Nazwa>CR<Ilość>CR<P>/CENA/WARTOŚĆ/<check><ESC>\\\r\n"
    "- Zgodnie z protokołem POSNET: \r\n"
    "Pi=6-kaucja pobrana, =7-storno pobranej, =10-kaucja wydana, =11-storno wydanej\r\n"
    "- Zgodnie z protokołem poprzednich drukarek firmy ULVO:\r\n"
    "Pi<>0-kaucja pobrana, =0-kaucja wydana\r\n";

// The drawer after a transaction.
inline constexpr const char* kHelpAutoDrawer =
    "TAK - Szuflada jest automatycznie otwierana po transakcji zakończonej rozkazem $e lub $x\r\n"
    "jeżeli parametr Pc tych rozkazów jest różny od 8.\r\n"
    "(Zgodnie z protokołem poprzednich drukarek firmy Ulvo).\r\n"
    "NIE (domyślnie) - szuflada nie jest automatycznie otwierana po transakcji.\r\n"
    "(Zgodnie z protokołem POSNET).";

// The receipt's system number sent with $h.
inline constexpr const char* kHelpSystemNumber =
    "Nr systemowy paragonu wysyłany z rozkazem $h w dodatkowych liniach tekstu\r\n"
    " - Musi być poprzedzony znakiem hash '#' (Zgodnie z protokołem POSNET)\r\n"
    " - Nie musi być poprzedzony znakiem '#' (Zgodnie z protokołem poprzednich drukarek firmy "
    "Ulvo)";

// The #v answer.
inline constexpr const char* kHelpTypeAndVersion =
    "Niektóre programy współpracujące z drukarką fiskalną do poprawnej\r\n"
    "pracy wymagają określonej odpowiedzi od drukarki na rozkaz #v (typ i wersja "
    "oprogramowania).\r"
    "Dlatego istnieje możliwość zaprogramowania tekstu jaki będzie drukarka wysyłać w "
    "odpowiedzi na ten rozkaz.";

}  // namespace ulvo
