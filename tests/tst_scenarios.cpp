#include "confirmedname.h"
#include "datum.h"
#include "directoryscan.h"
#include "numberedlist.h"
#include "renamereport.h"
#include "testsupport.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <unistd.h>

using Rows = std::vector<CatalogueRow>;

namespace {

const QString march = QStringLiteral("2024-03-07T08:05:09.123Z");

// The tables, one per part of the program: a row per line, "tag :: what to do (see Sandbox) =>
// what it shows" (see rows() in testsupport.h).

// The catalogue file is app/temlo_files.mdb; "a" is stamped 2024-03-07T08:05:09.123Z.
const char* const catalogueTable = R"(
create/at start; a read does not create it :: +a|?status|delete|sort|read|browse|read => OK|%C: soubor neexistuje|%C: soubor neexistuje|a@2024-03-07T08:05:09.123Z
create/another table beside stays :: sql:CREATE TABLE other (x)|read|?status|sql:SELECT x FROM other|read => %C: chybí tabulka filenametab|OK|
create/NULL fields read as empty :: sql:CREATE TABLE filenametab (filename, datum);INSERT INTO filenametab VALUES (NULL, NULL)|read => @
unusable/not a database, left as it is :: +a|garbage|browse|sort|read => %C: soubor není databáze|%C: soubor není databáze|%C: soubor není databáze|%C: soubor není databáze
unusable/field missing :: sql:CREATE TABLE filenametab (filename TEXT)|read|browse => %C: v tabulce filenametab chybí pole datum|%C: v tabulce filenametab chybí pole datum|%C: v tabulce filenametab chybí pole datum
unusable/field missing, names in other case :: sql:CREATE TABLE FileNameTab (FILENAME TEXT, x)|read => %C: v tabulce filenametab chybí pole datum
busy/another copy mid-scan: its rows unseen, ours refused :: +a|browse|hold:BEGIN IMMEDIATE;DELETE FROM filenametab;INSERT INTO filenametab VALUES ('z', NULL)|read|browse|read|free|-a|browse|read => a@2024-03-07T08:05:09.123Z|%C: databázi právě používá jiný program|a@2024-03-07T08:05:09.123Z|
permission/read-only file :: +a|browse|chmod:app/temlo_files.mdb|-a|browse|read => %C: do databáze nelze zapisovat|a@2024-03-07T08:05:09.123Z
permission/read-only folder :: +a|browse|chmod:app|-a|browse|read|free|browse|read => %C: do databáze nelze zapisovat|a@2024-03-07T08:05:09.123Z|
startup/message once the window is on screen, centred over it :: garbage|?status => %C: soubor není databáze|OK
location/program folder not writable: the user's data folder :: chmod:app|+a|browse|?where|read => %U|a@2024-03-07T08:05:09.123Z
location/another user's catalogue there is not used :: sql:CREATE TABLE filenametab (filename, datum)|chmod:app/temlo_files.mdb|chmod:app|+a|browse|?where|read => %U|a@2024-03-07T08:05:09.123Z
)";

const char* const folderTable = R"(
kind/ordinary files and links to them only :: +f|+.hidden|+dir:d|+fifo:p|+link:to f>f|+link:to d>d|+link:broken>none|scan => %F\rf\rto f\r
order/C locale: numbers by value, case ignored :: +IMG_10|+b|+IMG_2|+A|scan::C => %F\rA\rb\rIMG_2\rIMG_10\r
order/Czech: C Č D, H Ch I, S Š Z Ž :: +Žďár|+Zima|+Šumava|+Sova|+IMG_10|+IMG_2|+chata|+hrad|+Dub|+Čtvrtek|+cesta|scan::cs_CZ => %F\rcesta\rČtvrtek\rDub\rhrad\rchata\rIMG_2\rIMG_10\rSova\rŠumava\rZima\rŽďár\r
order/equal but for leading zeros or a decomposed accent: one fixed order :: +IMG_2|+IMG_02|+é|+é|scan => %F\ré\ré\rIMG_02\rIMG_2\r
name/line breaks shown as ? :: +a\rb\nc|scan => %F\ra?b?c\r
name/not UTF-8 still listed :: +raw:bad�|scan => %F\rbad�\r
error/missing folder :: scan:gone/ => %Fgone/\r|Adresář „%Fgone/“ neexistuje nebo byl odstraněn.
error/a file, no folder :: +f|scan:f/ => %Ff/\r|„%Ff/“ není adresář.
)";

// Files on disk, catalogue rows as scanned ("~" changed since), problems, disk after.
const char* const renameTable = R"(
plan/numbered in list order, contents kept :: +b|+Žluť|plan:Žluť,b|?disk => 001 - Žluť=Žluť,002 - b=b
skip/renamed earlier silently; removed, changed, listed twice reported :: +001 - r|+a|+b|plan:r@001 - r,gone,~a,b,b|?disk => gone: soubor ve složce chybí|a: soubor se od procházení složky změnil|b: soubor je v katalogu vícekrát|001 - r=001 - r,004 - b=b,a=a
skip/a name the program did not give is another file :: +001 - r|plan:r|?disk => r: soubor ve složce chybí|001 - r=001 - r
renumber/given names move up; a cycle goes through a temporary name :: +001 - y|+002 - y|+001 - x|plan:y@002 - y,y@001 - y,x@001 - x|?disk => 001 - y=002 - y,002 - y=001 - y,003 - x=001 - x
length/too long a numbered name is refused before renaming, the rest renamed :: +x{255}|+s|plan:x{255},s|?disk => x{255}: nový název by byl příliš dlouhý|002 - s=s,x{255}=x{255}
kind/folders and links: a link to a file is renamed itself :: +t|+dir:d|+link:broken>gone|+link:dirlink>d|+link:l>t|plan:d,broken,dirlink,l|?disk => d: není obyčejný soubor|broken: odkaz nevede na žádný soubor|dirlink: není obyčejný soubor|004 - l=t,t=t
tampered/names leading out :: +../x|+dir:a|+a/b|plan:../x,a/b,.,..,|?disk => ../x: název souboru by vedl mimo složku|a/b: název souboru by vedl mimo složku|.: název souboru by vedl mimo složku|..: název souboru by vedl mimo složku|: název souboru by vedl mimo složku|../x=../x,a/b=a/b
tampered/undecodable name (renaming by it would meet this lookalike) :: +a�|plan:a�|?disk => a�: název souboru obsahuje neplatné znaky|a�=a�
chain/runs from its end :: +x|+001 - x|+002 - 001 - x|plan:x,001 - x,002 - 001 - x|?disk => 001 - x=x,002 - 001 - x=001 - x,003 - 002 - 001 - x=002 - 001 - x
target/taken is kept :: +a|+001 - a|plan:a|?disk => a: soubor s novým názvem už existuje|001 - a=001 - a,a=a
name/composed, decomposed and line breaks renamed exactly :: +ů|+ů|+a\rb\nc|plan:ů,ů,a\rb\nc|?disk => 001 - ů=ů,002 - ů=ů,003 - a\rb\nc=a\rb\nc
permission/folder not writable loses nothing :: +a|+b|chmod:photos|plan:a,b|free|?disk => a: přístup odepřen|b: přístup odepřen|a=a,b=b
)";

// In a folder of "č", "b10" and "b2", made in this order a minute apart.
const char* const windowTable = R"(
browse/names in natural order, catalogue in date order with times :: browse|?status|?list|read => Zvolen adresář: %F|%F\rb2\rb10\rč\r|č@2024-03-07T08:05:09.123Z,b10@2024-03-07T08:06:09.123Z,b2@2024-03-07T08:07:09.123Z
browse/the list replaces typing for good, shown from its top :: type|browse|?list => %F\rb2\rb10\rč\r
browse/typed name takes the folder shown :: browse:photos/typed.~#~|?status => Zvolen adresář: %F
browse/cancelled changes nothing :: cancel|?status|?list|read => OK||
browse/missing folder reported, catalogue emptied :: browse|browse:gone/x|?list|read => Adresář „%R/gone/“ neexistuje nebo byl odstraněn.|%R/gone/\r|
sort/declined with Ne :: browse|sort:Ne|?status|?list|?disk => Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?|HOTOVO - seřazeno|001 - č\r002 - b10\r003 - b2\r|b10=b10,b2=b2,č=č
sort/declined with Return, the default :: browse|sort:Return|?status|?disk => Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?|HOTOVO - seřazeno|b10=b10,b2=b2,č=č
sort/declined with Escape :: browse|sort:Escape|?disk => Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?|b10=b10,b2=b2,č=č
sort/accepted :: browse|sort:Přejmenovat|?status|?list|?disk => Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?|HOTOVO - přejmenováno|001 - č\r002 - b10\r003 - b2\r|001 - č=č,002 - b10=b10,003 - b2=b2
sort/no scan in this run offers nothing :: browse|reopen|sort:Přejmenovat|?status|?disk => HOTOVO - seřazeno|b10=b10,b2=b2,č=č
sort/failures counted, grouped by reason in one message :: browse|+č=edited|-b10|+003 - b2=taken|sort:Přejmenovat|?status|?disk|?seen => Přejmenovat 1 soubor ve složce „%F“ na jejich číslované názvy?|Tyto soubory nebyly přejmenovány:\n\nsoubor se od procházení složky změnil: 1 soubor\n    č\n\nsoubor ve složce chybí: 1 soubor\n    b10\n\nsoubor s novým názvem už existuje: 1 soubor\n    b2|HOTOVO - nepřejmenováno: 3|003 - b2=taken,b2=b2,č=edited|chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Ne, TEMLO_RUNDEL – přejmenování / arrow / OK, then none
sort/empty catalogue keeps the list :: type|sort|?status|?list => HOTOVO - seřazeno|box: typed
catalogue/another copy mid-scan: old rows listed, renaming not offered :: browse|hold:BEGIN IMMEDIATE;DELETE FROM filenametab|-b10|browse|sort:Přejmenovat|?status|?list|free|browse|sort => %C: databázi právě používá jiný program|HOTOVO - seřazeno|001 - č\r002 - b10\r003 - b2\r|Přejmenovat 2 soubory ve složce „%F“ na jejich číslované názvy?
focus/Tab goes round; Tab and Enter in the list move on, typing nothing :: ?focus|key:Tab|key:Tab|?focus|type|key:Return|?focus|key:Tab|key:Tab|key:Tab|key:Enter|?focus|key:Tab|key:Tab|key:Tab|key:Tab|?focus|?list => Command1|TextBox1|Command3|Command3|Command3|box: typed
keys/Enter, keypad Enter and Space press the focused button :: key:Return|?status|key:Tab|key:Enter|?status|key:Tab|key:Tab|key:Space|?pdf => Zvolen adresář: %F|Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?|HOTOVO - seřazeno|1
cursor/the chooser shows the arrow, whether it chooses or not :: browse|cancel|?seen => chooser arrow, chooser arrow, then none
cursor/printing waits, its message shows the arrow :: print|print:none|?seen => Není k dispozici žádná tiskárna. Nic se nevytisklo.|printer wait, printer wait, TEMLO_RUNDEL – tisk / arrow / OK, then none
status/a long one elided, whole as its tip :: browse:g{40} g{40} g{40}/x|?status|?seen => Adresář „%R/g{40} g{40} g{40}/“ neexistuje nebo byl odstraněn.|Zvolen adresář: %R/g{40} g{40} g{40}/ (elided)|chooser arrow, TEMLO_RUNDEL – adresář / arrow / OK, then none
renumber/older and newer files added :: browse|sort:Přejmenovat|+0@-60|+d@600|browse|sort:Přejmenovat|?status|?disk|?seen => Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?|Přejmenovat 5 souborů ve složce „%F“ na jejich číslované názvy?\n\n„Vrátit původní názvy“ přejmenuje 3 soubory zpět na názvy, které měly před očíslováním.|HOTOVO - přejmenováno|001 - 0=0,002 - č=č,003 - b10=b10,004 - b2=b2,005 - d=d|chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Ne, chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Vrátit původní názvy|Ne, then none
renumber/an edited photo keeps its original name :: browse|sort:Přejmenovat|+002 - b10@600|browse|sort:Přejmenovat|?status|?disk|?seen => Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?|Přejmenovat 2 soubory ve složce „%F“ na jejich číslované názvy?\n\n„Vrátit původní názvy“ přejmenuje 3 soubory zpět na názvy, které měly před očíslováním.|HOTOVO - přejmenováno|001 - č=č,002 - b2=b2,003 - b10=b10|chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Ne, chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Vrátit původní názvy|Ne, then none
renumber/two files of one name swap numbers :: browse|sort:Přejmenovat|+č=new@30|browse|sort:Přejmenovat|+002 - č@-60|browse|sort:Přejmenovat|?status|?disk|?seen => Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?|Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?\n\n„Vrátit původní názvy“ přejmenuje 3 soubory zpět na názvy, které měly před očíslováním.|Přejmenovat 2 soubory ve složce „%F“ na jejich číslované názvy?\n\n„Vrátit původní názvy“ přejmenuje 4 soubory zpět na názvy, které měly před očíslováním.|HOTOVO - přejmenováno|001 - č=new,002 - č=č,003 - b10=b10,004 - b2=b2|chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Ne, chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Vrátit původní názvy|Ne, chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Vrátit původní názvy|Ne, then none
undo/unchanged folder offers only undo, which restores every name :: browse|sort:Přejmenovat|browse|sort:Ne|sort:Vrátit původní názvy|?status|?disk|?seen => Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?|Soubory ve složce „%F“ už mají své číslované názvy.\n„Vrátit původní názvy“ přejmenuje 3 soubory zpět na názvy, které měly před očíslováním.|Soubory ve složce „%F“ už mají své číslované názvy.\n„Vrátit původní názvy“ přejmenuje 3 soubory zpět na názvy, které měly před očíslováním.|HOTOVO - vráceny původní názvy|b10=b10,b2=b2,č=č|chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Ne, chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Vrátit původní názvy|Ne, TEMLO_RUNDEL – přejmenování / arrow / Vrátit původní názvy|Ne, then none
unchanged/files of equal time keep their numbers :: +b2@0|+b10@0|browse|sort:Přejmenovat|browse|sort:Ne|?status|?disk|?seen => Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?|Soubory ve složce „%F“ už mají své číslované názvy.\n„Vrátit původní názvy“ přejmenuje 3 soubory zpět na názvy, které měly před očíslováním.|HOTOVO - seřazeno|001 - b2=b2,002 - b10=b10,003 - č=č|chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Ne, chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Vrátit původní názvy|Ne, then none
undo/a name taken meanwhile is kept :: browse|sort:Přejmenovat|+b2=new|browse|sort:Vrátit původní názvy|?status|?disk|?seen => Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?|Přejmenovat 1 soubor ve složce „%F“ na jejich číslované názvy?\n\n„Vrátit původní názvy“ přejmenuje 3 soubory zpět na názvy, které měly před očíslováním.|Tyto soubory nebyly přejmenovány:\n\nsoubor s novým názvem už existuje: 1 soubor\n    b2|HOTOVO - nevráceno: 1|003 - b2=b2,b10=b10,b2=new,č=č|chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Ne, chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Vrátit původní názvy|Ne, TEMLO_RUNDEL – přejmenování / arrow / OK, then none
crash/journal written, nothing renamed :: browse|crash:0|reopen|browse|sort:Přejmenovat|?status|?disk|?seen => Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?|HOTOVO - přejmenováno|001 - č=č,002 - b10=b10,003 - b2=b2|chooser arrow, chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Ne, then none
crash/some renamed :: browse|crash:2|reopen|browse|sort:Přejmenovat|?status|?disk|?seen => Přejmenovat 1 soubor ve složce „%F“ na jejich číslované názvy?\n\n„Vrátit původní názvy“ přejmenuje 2 soubory zpět na názvy, které měly před očíslováním.|HOTOVO - přejmenováno|001 - č=č,002 - b10=b10,003 - b2=b2|chooser arrow, chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Vrátit původní názvy|Ne, then none
crash/midway through a renumbering :: browse|sort:Přejmenovat|+0@-60|browse|crash:1|reopen|browse|sort:Přejmenovat|?status|?disk|?seen => Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?|Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?\n\n„Vrátit původní názvy“ přejmenuje 4 soubory zpět na názvy, které měly před očíslováním.|HOTOVO - přejmenováno|001 - 0=0,002 - č=č,003 - b10=b10,004 - b2=b2|chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Ne, chooser arrow, chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / Přejmenovat|Vrátit původní názvy|Ne, then none
other copy/its scan in between renames nothing :: browse|other|sort:Přejmenovat|?status|?disk|?seen => Katalog mezitím přepsala jiná kopie programu procházením složky „%R/other/“; nic nebylo přejmenováno.|HOTOVO - seřazeno|b10=b10,b2=b2,č=č|chooser arrow, TEMLO_RUNDEL – katalog / arrow / OK, then none
length/nothing renamable: reported without asking :: -č|-b10|-b2|+x{255}|browse|sort|?status|?seen => Tyto soubory nebyly přejmenovány:\n\nnový název by byl příliš dlouhý: 1 soubor\n    x{29}…x{30}|HOTOVO - nepřejmenováno: 1|chooser arrow, TEMLO_RUNDEL – přejmenování / arrow / OK, then none
catalogue/not a database: reported, recreated once deleted :: garbage|sort|delete|browse|sort => %C: soubor není databáze|%C: soubor není databáze|Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?
)";

// A catalogue of 300 photographs; then of one, which must print again.
const char* const printTable = R"(
printer/none :: rows:300|print:none|?pdf|rows:1|print|?pdf => Není k dispozici žádná tiskárna. Nic se nevytisklo.|0|1
printer/cannot begin a document :: rows:300|print:gone/x.pdf|rows:1|print|?pdf => Není k dispozici žádná tiskárna. Nic se nevytisklo.|1
printer/failing midway :: rows:300|print:failing|rows:1|print|?pdf => Tisk se nezdařil, tiskárna ohlásila chybu. Tisková úloha byla zrušena.|1
catalogue/deleted :: rows:300|?status|delete|print|?pdf|rows:1|print|?pdf => OK|%C: soubor neexistuje|0|1
)";

// The stored form of a local time (or a text), and how a locale shows it.
const char* const datumTable = R"(
winter/afternoon :: datum:cs_CZ:2024-03-07T15:05:09.123 => 2024-03-07T14:05:09.123Z|07.03.2024 15:05:09
winter/UTC midnight is no local midnight :: datum:cs_CZ:2024-03-07T01:00:00.000 => 2024-03-07T00:00:00.000Z|07.03.2024 1:00:00
winter/other locale :: datum:en_US:2024-03-07T15:05:09.000 => 2024-03-07T14:05:09.000Z|3/7/2024 3:05:09 PM
summer/local midnight shows the date alone :: datum:en_US:2024-07-01T00:00:00.000 => 2024-06-30T22:00:00.000Z|7/1/2024
edge/before the epoch :: datum:cs_CZ:1970-01-01T00:59:59.999 => 1969-12-31T23:59:59.999Z|01.01.1970 0:59:59
edge/unknown time :: datum:cs_CZ: => |
edge/foreign text shown as it is :: datum:cs_CZ:7.3.2024 15:05 => |7.3.2024 15:05
)";

// Lines in tenths of a Latin character, 96 from column 5 to a line (see Sandbox); and within
// margins of at least 15 mm in the real font.
const char* const layoutTable = R"(
heading/empty catalogue :: layout:/d/: => ,-------/d/-------,,
heading/no folder :: layout:: => ,--------------,,
rows/dated, undated, line break :: layout:/d/:a.jpg@2024-03-07T08:05:09.123Z,b - c\nd@,Žluť@2024-05-02T22:00:00.000Z => ,-------/d/-------,,,001 - a.jpg~07.03.2024 9:05:09,002 - b - c?d,003 - Žluť~03.05.2024
long name/one past column 70 pushes its date down, ending there keeps it :: layout:/d/:g{60}@x,f{59}@y => ,-------/d/-------,,,001 - g{60},~x,002 - f{59}~y
long name/wide script is measured :: layout:/d/:漢字漢字@x => ,-------/d/-------,,,001 - 漢字漢字,~x
wrap/just filling the line :: layout:/d/:f{90}@x => ,-------/d/-------,,,001 - f{90},~x
wrap/two lines, broken after a near space :: layout:/d/:a{80} b{30}@x => ,-------/d/-------,,,001 - a{80} ,b{30}~x
wrap/three lines, no space :: layout:/d/:x{250}@y => ,-------/d/-------,,,001 - x{90},x{96},x{64}~y
wrap/a space far back is not used :: layout:/d/:a x{150}@y => ,-------/d/-------,,,001 - a x{88},x{62}~y
pages/exactly full :: pages:70:3*f@x => 7
pages/one line over :: pages:70:4*f@x => 7 1
pages/part of a line does not fit :: pages:79.9:20*f@x => 7 7 7 3
pages/lower than a line :: pages:5:1*f@x => 1 1 1 1 1
pages/a name stays with its date :: pages:70:3*g{60}@x => 6 4
pages/a row taller than a page is parted :: pages:30:1*h{300}@x => 3 1 3 1
150 characters with spaces :: printable:/f:Dovolená u moře, Štěrbohol 2023 Dovolená u moře, Štěrbohol 2023 Dovolená u moře, Štěrbohol 2023 Dovolená u moře, Štěrbohol 2023 Dovolená u moře, Štěrbohol 2023 x.jpeg => inside
wide letters, no space :: printable:/f:W{150}.jpg => inside
wide script :: printable:/f:漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字 => inside
long folder in the heading :: printable:/Dovolená u moře, Štěrbohol 2023 Dovolená u moře, Štěrbohol 2023 Dovolená u moře, Štěrbohol 2023 Dovolená u moře, Štěrbohol 2023 Dovolená u moře, Štěrbohol 2023 :a.jpg => inside
)";

} // namespace

// Runs under TZ=Europe/Prague (set by the test registration).
class TestScenarios : public QObject {
    Q_OBJECT
private slots:
    void scenarios_data() {
        rows("catalogue", catalogueTable);
        rows("folder", folderTable);
        QString many, listed = "%F\r";
        for (int i = 1; i <= 1001; ++i)
            many += QStringLiteral("+%1|").arg(i), listed += QStringLiteral("%1\r").arg(i);
        QTest::newRow("folder/count/more than a thousand") << many + "scan" << listed;
        QTest::newRow("window/a long list scrolls, a short one then needs no bar")
            << many + "browse|?bar|" + QString(many).replace(u'+', u'-') + "browse|?bar"
            << "bar|no bar";
        rows("rename", renameTable);
        rows("window", windowTable, "+č@0|+b10@60|+b2@120|");
        rows("datum", datumTable);
        rows("layout", layoutTable);
        rows("print", printTable);
    }
    void scenarios() {
        QFETCH(QString, script);
        if (script.contains("chmod") && ::geteuid() == 0)
            QSKIP("root ignores permission bits; the suite runs unprivileged in CI");
        QTEST(Sandbox().run(script), "shown");
    }

    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QStringLiteral("cs_CZ")));
    }

    // Every row once, in order, with its date, long names whole however they are wrapped.
    void pdfHasEveryRowOnceWithItsDateWindowUnchanged() {
        Sandbox box;
        const QString spaced = QStringLiteral("Dovolená u moře, Štěrbohol 2023 ").repeated(5);
        Rows rows{{"a.jpg", ""}, {"b - kopie.jpg", "2024-01-01T10:00:00.000Z"}, {spaced, march}};
        box.run("rows:296");
        const Rows photos = box.catalogue().orderedRows();
        rows.insert(rows.end(), photos.begin(), photos.end());
        rows.push_back({QString(150, u'W'), "2025-01-01T10:00:00.000Z"});
        box.catalogue().replaceAll(rows);
        const QString sorted = box.run("sort|?status|?list"); // and then unchanged by printing
        QCOMPARE(box.run("print|?status|?list"),
                 sorted.section(u'|', 0, 0) + "|box: " + sorted.section(u'|', 1).chopped(1));
        const QString pdf = box.path("app/listing.pdf"), text = pdfLayoutText(pdf);
        QString expected = "--------------";
        for (qsizetype i = 0; i < qsizetype(rows.size()); ++i)
            expected += QStringLiteral("%1 - ").arg(i + 1, 3, 10, QChar(u'0')) + rows[i].filename +
                        datumText(rows[i].datum);
        static const QRegularExpression space(QStringLiteral("\\s"));
        QCOMPARE(QString(text).remove(space), expected.remove(space));
        QVERIFY(pdfPageCount(pdf) > 1);
        const QStringList dated = text.split(u'\n').filter(datumText(rows[1].datum)) +
                                  text.split(u'\n').filter(datumText(march));
        QCOMPARE(dated[0].indexOf(datumText(rows[1].datum)), dated[1].indexOf(datumText(march)));
        box.run("print");
        QCOMPARE(pdfLayoutText(pdf), text);
    }

    void numberedNamesAndRenameReport() {
        QCOMPARE(numberedList(Rows(10, {"a\nb", ""}), " - ").section(u'\r', 9), "010 - a?b\r");
        QCOMPARE(numberedName(1000, "x", " - "), "1000 - x");
        // Grouped by reason in order of first occurrence, each group counted and cut short.
        std::vector<RenameProblem> failures{{"a\nb.jpg", "přístup odepřen"}, {"c.jpg", "chybí"}};
        for (int i = 1; i <= 10; ++i)
            failures.push_back({QStringLiteral("f%1").arg(i), "přístup odepřen"});
        failures.push_back({"IMG_" + QString(70, u'x') + "_end.jpg", "chybí"});
        QCOMPARE(
            renameReport(failures),
            QString(
                R"(Tyto soubory nebyly přejmenovány:||přístup odepřen: 11 souborů|    a?b.jpg|    f1|    f2|    f3|    f4|    f5|    f6|    f7|    f8|    f9|    … a dalších: 1||chybí: 2 soubory|    c.jpg|    IMG_xxxxxxxxxxxxxxxxxxxxxxxxx…xxxxxxxxxxxxxxxxxxxxxx_end.jpg)")
                .replace(u'|', u'\n'));
    }

    void scanEdges() {
        Sandbox box;
        box.run("+a|+b");
        DirectoryListing listing = listOrdinaryFiles(box.folder());
        box.run("-b"); // gone between listing and stamping
        readTimestamps(box.folder(), listing.files);
        const DirectoryScan found = orderedScan(std::move(listing));
        QVERIFY(found.files.size() == 2 && !found.files[0].datum.isEmpty() &&
                found.files[1].datum.isEmpty());
        QCOMPARE(folderFromConfirmedName("/Select a Directory.~#~"), "/");
        QCOMPARE(folderFromConfirmedName("/a/b/a name longer than the placeholder.~#~"), "/a/b/");
    }

    // As regional text these would sort 10.1., 2.2., 9.1.; bursts of photographs share a time,
    // and keep the order they were added in also in a large catalogue.
    void orderedReadIsChronologicalAndStable() {
        Rows rows{{"feb", "2024-02-02"}, {"10th", "2024-01-10"}, {"9th", "2024-01-09"}, {"?", ""}};
        for (int i = 0; i < 120000; ++i)
            rows.push_back({QString::number(i), "2024-05-01T10:00:0" + QString::number(i % 3)});
        const Sandbox box;
        box.catalogue().replaceAll(rows);
        std::ranges::stable_sort(rows, {}, &CatalogueRow::datum);
        QVERIFY(std::ranges::equal(box.catalogue().orderedRows(), rows, {}, &CatalogueRow::filename,
                                   &CatalogueRow::filename));
    }
};

QTEST_MAIN(TestScenarios)
#include "tst_scenarios.moc"
