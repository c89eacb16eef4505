#include "emitter/documents.h"

namespace tratta {

namespace {

// The train sheet: the one-page timetable card of train 30 for the driver,
// drawn in a fixed-width font with blanks, underscores and bars. Every
// table line keeps its bars in columns 2, 8, 14, 25, 31, 60, 77 and 83;
// trailing blanks are part of the lines.
constexpr std::string_view kRighe[] = {
    // Title block: train number, route, speed rank and braked mass.
    "",
    " ",
    "  ___________________                                                ______________",
    " |                   |                  SCHEDA                      |              |",
    " |   TRENO n. 30     |                da: Valdalba Centrale         |    V 200 C   |",
    " |___________________|                 a: Torgrivia                 |     130%     |",
    "                                                                    |______________|",
    // Classification and blocked mass.
    "  ___________________                ___________________ ",
    " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
    " |        EC         |              |       600T        |",
    " |___________________|              |___________________|  ",
    "",
    // The timetable: one row per service point, from origin to destination.
    "  ________________________________________________________________________________",
    " | Vel.| Vel.| Progr Km | No  |  Localita' di Servizio     |    Orario      | Rec |",
    " | Lim.|Marc.|          | Rs  |                            |                |     |",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    // Body rows.
    " |  30 |     |    0     |     | Valdalba Centrale          |           7.07 |     |",
    " |  95 |  95 |    0.700 |     | Deviatoio di uscita        |        -       |     |",
    " | 110 | 110 |    4.500 |     | Ponteselce                 |      7.13      | 0.5 |",
    " |     | 100 |    6.150 |     | Doppio Bivio Corvallo      |      7.14      |     |",
    " | 200 | 175 |   16.250 |     | P.C. Sassomarno            |      7.20      | 0.5 |",
    " |     | 200 |   31.950 |     | P.C. Vallerba              |      7.27      | 0.5 |",
    " |     |     |   43.950 |     | P.M. Fontegrisa            |      7.31      |     |",
    " |     |     |   60.850 |     | P.C. Lamacupa              |      7.37      | 0.5 |",
    " |     |     |   64.750 |     | 1° Bivio Roverasco         |      7.39      | 0.5 |",
    " |     |     |   74.219 |     | 1° Posto Ardenzano         |      7.42      |     |",
    " |     |     |   73.300 |     | P.C. Sant'Ermelda          |      7.43      | 0.5 |",
    " |     |     |   93.400 |     | P.C. Prataviva             |      7.49      | 0.5 |",
    " |     |     |  104.450 |     | 1° Bivio Castelpiro        |      7.53      | 0.5 |",
    " |     | 195 |  108.600 |     | P.C. Rivafonda             |      7.55      | 0.5 |",
    " |     | 185 |  114.900 |     | 1° Bivio Murlengo          |      7.57      |     |",
    " |     | 180 |  121.200 |     | P.C. Serravina             |      7.59      |     |",
    " |     | 200 |  134.400 |     | 1° Bivio Colle d'Arvio     |      8.04      |     |",
    " |     |     |  138.650 |     | P.C. Boscoraso             |      8.06      | 0.5 |",
    " |     |     |  154.250 |     | 1° Bivio Lavenzola         |      8.11      | 0.5 |",
    " |     | 175 |  156.350 |     | P.C. Grottalba             |      8.12      |     |",
    " |     |     |  166.400 |     | P.C. Campisecchi           |      8.15      |     |",
    " |     |     |  169.100 |     | P.C. Pianterzo             |      8.16      |     |",
    " |     |     |  183.600 |     | P.C. Roccasterna           |      8.21      | 0.5 |",
    " |     |     |  189.050 |     | 1° Bivio Felcenera         |      8.23      | 0.5 |",
    " |     |     |  196.806 |     | P.C. Orvineto              |      8.26      | 0.5 |",
    " |     |     |  199.650 |     | 1° Bivio Acquamora         |      8.27      |     |",
    " |     |     |  212.650 |     | P.C. Poggiotorto           |      8.31      |     |",
    " |     |     |  214.750 |     | 1° Bivio Castagnedo        |      8.32      | 0.5 |",
    " |     |     |  227.700 |     | P.C. Vignalonga            |      8.37      | 0.5 |",
    " |     |     |  234.800 |     | 1° Bivio Sorvena           |      8.40      | 1.0 |",
    " |     |     |  240.450 |     | P.C. Pratofosco            |      8.43      | 1.0 |",
    " | 145 | 145 |  250.000 |     | Cippo Km 250.000           |        -       |     |",
    " | 110 | 100 |  252.500 |     | Ponte fiume Alvena         |        -       |     |  ",
    " |     |     |  253.600 |     | 1° Bivio Torgrivia Nord    |      8.48      |     |",
    " |     |     |  254.100 |     | Torgrivia Smistamento      |      8.49      |     |",
    " |     |     |  257.050/|     | Castel Alvena              |      8.50      |     |",
    " |     |     |  310.112 |     |                            |                |     |",
    " |  90 |  90 |  311.000 |     | Cippo Km 311.000           |        -       |     |",
    " |  75 |  75 |  312.800 |     | Cavalcavia Strada Grivia   |        -       |     |",
    " |  30 |  30 |  314.050 |     | Torgrivia                  | 8.56           | 2.0 |",
    // Bottom border.
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    "",
    "",
    kFineDelFile,
};
static_assert(tabella_codificabile(kRighe));

}  // namespace

TabellaRighe righe_scheda() { return kRighe; }

}  // namespace tratta
