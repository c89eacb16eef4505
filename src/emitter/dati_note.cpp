#include "emitter/documents.h"

namespace tratta {

namespace {

// The author's notes on how the line and the train were put together.
// Each paragraph is one line of the document, however long; long
// paragraphs are split into adjacent literals only for the source's sake.
constexpr std::string_view kRighe[] = {
    "NOTE SULLA LINEA E SUL TRENO",
    "",
    "Questo scenario nasce dalla voglia di guidare per intero la linea veloce della valle "
        "dell'Alvena, che da anni percorro da viaggiatore. Lo scopo è di offrire un percorso "
        "lungo e vario, fedele nel tracciato e nei segnali, dove la condotta del treno conti più "
        "del paesaggio.",
    "La tratta riprodotta va da Valdalba Centrale a Torgrivia senza diramazioni.",
    "Una seconda variante, con il ramo per Torgrivia Smistamento, è in arrivo.",
    "Per ricostruire la linea ho raccolto le carte topografiche della valle, i profili "
        "altimetrici pubblicati durante i lavori, le foto scattate dal finestrino e gli appunti "
        "di alcuni amici macchinisti in pensione.",
    "Rispetto al mio scenario precedente sulla stessa valle ho rifatto da capo curve e "
        "pendenze, ho aggiunto le gallerie che mancavano, ho spostato molti segnali e ho "
        "riscritto da zero l'orario del treno 30. Ecco qui sotto, voce per voce, i criteri che "
        "ho adottato:",
    "",
    "> PLANIMETRIA: le curve sono state ricavate dalle carte in scala 1:25000, misurando di "
        "ciascuna l'inizio, la lunghezza e il raggio approssimato. In tutto la linea conta 131 "
        "curve, 66 a sinistra e 65 a destra, quasi tutte ampie.",
    "Il raggio è stato poi ricondotto alle sei classi del simulatore: la classe 1 indica la "
        "curva più ampia, la sola che si incontra presso il chilometro 113, mentre la classe 6 "
        "spetta alla stretta curva finale che precede Torgrivia. Dove due curve si susseguono "
        "senza rettifilo le ho lasciate contigue, così come stanno nella realtà.",
    "",
    "> ALTIMETRIA: il profilo è la parte che mi ha richiesto più tempo. Le pendenze sono "
        "date in millesimi e cambiano in media ogni chilometro e trecento metri: in tutto sono "
        "205 livellette, dal 12 per mille in discesa al 10 per mille in salita. Appena uscita da "
        "Valdalba Centrale la linea scende verso il fondovalle, con un tratto al 12 per mille "
        "che mette subito alla prova la frenatura; segue un lungo tratto quasi pianeggiante "
        "lungo il fiume Alvena, rotto qua e là da brevi rampe presso i viadotti. Dopo il "
        "chilometro 230 la linea risale di nuovo verso l'altopiano di Torgrivia con pendenze "
        "fino al 10 per mille, per poi addolcirsi nelle ultime centinaia di metri prima della "
        "stazione di arrivo, dove il binario corre in piano.",
    "",
    "> GALLERIE: le gallerie sono 35 e ciascuna è annunciata dal proprio cartello con il "
        "nome e la lunghezza in metri, dalla più breve di 112 metri alla grande galleria di "
        "valico, che con i suoi 10954 metri è la più lunga della linea. Ho aggiunto nove tratti "
        "coperti senza cartello, che corrispondono a trincee e gallerie artificiali. Inizio e "
        "fine di ogni galleria sono arrotondati ai 50 metri, così come vuole il formato dei "
        "dati.",
    "",
    "> CARTELLI INDICATORI DI VELOCITA': sono 16 e riportano le velocità dei ranghi A, B e "
        "C; li ho posti là dove il limite cambia, poche centinaia di metri prima.",
    "",
    "> CARTELLI INDICAZIONI VARIE: oltre ai cartelli delle gallerie si trovano quelli di "
        "inizio e di fine viadotto, i cartelli dei due bivi principali, ripetuti a 300 e a 50 "
        "metri, il cartello del ponte sul fiume Alvena e quello del cavalcavia di Strada Grivia, "
        "a poca distanza dall'arrivo.",
    "",
    "> STAZIONI: le località di servizio inserite sono 33 in totale.",
    "Oltre alle stazioni vere e proprie ho inserito i posti di comunicazione, i posti di "
        "movimento e i bivi, ognuno con la lunghezza del proprio piazzale ricavata dalle foto "
        "aeree. Solo la partenza da Valdalba Centrale e l'arrivo a Torgrivia hanno un orario: il "
        "treno parte alle 7.07 e arriva alle 8.56, mentre i passaggi per le località intermedie "
        "si leggono sulla scheda treno, da tenere sotto mano durante la corsa. Ponteselce, la "
        "prima stazione, ha binari di precedenza e un segnale di partenza proprio; Fontegrisa è "
        "un posto di movimento con quattro binari; Torgrivia Smistamento è lo scalo merci posto "
        "poco prima dell'arrivo. A Castel Alvena la linea nuova si innesta su quella storica, e "
        "da lì in poi vale la progressiva della vecchia linea. Le località P.C. servono solo per "
        "i cambi di binario.",
    "",
    "> SEGNALI: i segnali sono 105. Dopo i primi otto, tra Valdalba e gli scambi di "
        "Sassomarno, ogni segnale di avviso precede il proprio segnale di protezione di una "
        "distanza compresa tra 1300 e 1500 metri, così come sulla linea reale. Gli aspetti sono "
        "quelli consueti: via libera, avviso, rallentamento e riduzione di velocità, con le "
        "indicazioni per il deviatoio dove il treno passa in deviata. I segnali dei bivi "
        "mostrano sempre il tracciato corretto, per cui il treno non trova mai un segnale a via "
        "impedita. Ho curato in particolare gli ultimi chilometri, dove tre segnali ravvicinati "
        "guidano l'ingresso a Torgrivia: qui la ripetizione in cabina cambia più volte codice e "
        "conviene ridurre la velocità con anticipo.",
    "Nei tratti più complessi gli avvisi riportano il nome della località che li segue.",
    "",
    "I limiti di velocità seguono la scheda treno: 30 km/h in uscita da Valdalba, poi 95, "
        "110 e infine 200 km/h in piena linea.",
    "La ripetizione dei segnali a nove codici comincia al km 6.800 e resta attiva fino alla "
        "città di Torgrivia.",
    "Gli abbattimenti di codice sono 21: sedici al 270 e cinque al 180.",
    "A Castel Alvena la progressiva chilometrica passa da 257.050 a 310.112, come è indicato "
        "sulla scheda treno.",
    "Molti dettagli li ho verificati io stesso, percorrendo la linea in treno più volte e "
        "annotando con il cronometro i punti in cui il treno frenava o accelerava, e tutti i "
        "cartelli e i segnali che si vedevano dal finestrino.",
    "La linea non è perfetta e si può ancora migliorare: alcune pendenze sono stimate e "
        "qualche segnale potrebbe trovarsi a qualche decina di metri dal punto reale. Ogni "
        "segnalazione degli errori sarà accolta con piacere.",
    "Ringrazio gli amici che mi hanno fornito dati, fotografie e profili, e in particolare "
        "chi ha avuto la pazienza di provare le prime versioni dello scenario e di farmi notare "
        "ogni svista, anche la più piccola.",
    "",
    "> IL TRENO: il treno 30 è un EC di 12 carrozze, con massa bloccata di 600 tonnellate e "
        "massa frenata del 130 per cento, come indicano i riquadri della scheda treno. "
        "Appartiene al rango C e può toccare i 200 km/h, la velocità massima della linea. Ho "
        "fissato l'aderenza a 80 su tutto il percorso, un valore da rotaia asciutta, e la sabbia "
        "a 200, più che sufficiente per l'intero viaggio se usata con giudizio nelle ripartenze "
        "in salita. L'orologio parte alle 7.06 e 30 secondi, mezzo minuto prima della partenza, "
        "così da avere il tempo di controllare il banco e di sciogliere i freni. La percorrenza "
        "è calcolata per una marcia tesa ma non esasperata: chi sfrutta bene le discese arriva a "
        "Torgrivia in orario senza mai superare i limiti.",
    "",
    "> CONSIDERAZIONE FINALE: guidare questa linea richiede attenzione costante, fra lunghe "
        "gallerie, cambi di codice e pendenze severe. Spero che lo scenario vi dia le stesse "
        "emozioni che ho provato io percorrendola più volte dal finestrino.",
    "",
    "BUONA GUIDA.",
    "",
    "Gualtiero Deviati",
    "",
    "g.deviati@example.org",
    kFineDelFile,
};
static_assert(tabella_codificabile(kRighe));

}  // namespace

TabellaRighe righe_note() { return kRighe; }

}  // namespace tratta
