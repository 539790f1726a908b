#include "listtexts.h"
#include "wording.h"

#include <QTest>

using Wording = QString (*)(const Failure&);

class TestWording : public QObject {
    Q_OBJECT
private slots:
    // Grouped by reason in the order each first occurs, each group counted and cut short after
    // ten names; names as in the list, long ones elided in the middle, never inside a character.
    void renameReport() {
        const QString x(70, u'x'), two = x.left(28) + "😀" + x.left(20) + "😀" + x.left(29);
        std::vector<Failure> problems{{Fault::Denied, "a\nb", {}}, {Fault::Missing, "c", {}}};
        QStringList expected{"Tyto soubory nebyly přejmenovány:", "", "přístup odepřen: 11 souborů",
                             "    a?b"};
        for (int i = 1; i <= 10; ++i)
            problems.push_back({Fault::Denied, QStringLiteral("f%1").arg(i), {}});
        for (int i = 1; i <= 9; ++i)
            expected << QStringLiteral("    f%1").arg(i);
        problems.push_back({Fault::Missing, "IMG_" + x + "_end.jpg", {}});
        problems.push_back({Fault::Missing, two, {}});
        const QString img = "    IMG_" + x.left(25) + "…" + x.left(22) + "_end.jpg";
        expected += {"    … a dalších: 1", "", "soubor ve složce chybí: 3 soubory", "    c", img};
        expected << "    " + x.left(28) + "…" + x.left(29);
        QCOMPARE(::renameReport(problems).split(u'\n'), expected);
    }

    void renameQuestion_data() {
        QTest::addColumn<RenameOffer>("offer");
        QTest::addColumn<QString>("question");
        const QString rename = "Přejmenovat %1 ve složce „/f/“ na jejich číslované názvy?";
        const QString undo = "„Vrátit původní názvy“ přejmenuje %1 zpět na názvy, které měly "
                             "před očíslováním.";
        const QString numbered = "Soubory ve složce „/f/“ už mají své číslované názvy.\n";
        QTest::newRow("rename 1") << RenameOffer{"/f/", 1, 0} << rename.arg("1 soubor");
        QTest::newRow("rename 4") << RenameOffer{"/f/", 4, 0} << rename.arg("4 soubory");
        QTest::newRow("undo 2") << RenameOffer{"/f/", 0, 2} << numbered + undo.arg("2 soubory");
        QTest::newRow("both") << RenameOffer{"/f/", 5, 1}
                              << rename.arg("5 souborů") + "\n\n" + undo.arg("1 soubor");
    }
    void renameQuestion() {
        QFETCH(RenameOffer, offer);
        QTEST(::renameQuestion(offer), "question");
    }

    void sortedStatus_data() {
        QTest::addColumn<RenameChoice>("done");
        QTest::addColumn<int>("failed");
        QTest::addColumn<QString>("status");
        QTest::newRow("sorted") << RenameChoice::Keep << 0 << "HOTOVO - seřazeno";
        QTest::newRow("none renamable") << RenameChoice::Keep << 1 << "HOTOVO - nepřejmenováno: 1";
        QTest::newRow("renamed") << RenameChoice::Rename << 0 << "HOTOVO - přejmenováno";
        QTest::newRow("not renamed") << RenameChoice::Rename << 3 << "HOTOVO - nepřejmenováno: 3";
        QTest::newRow("undone") << RenameChoice::Undo << 0 << "HOTOVO - vráceny původní názvy";
        QTest::newRow("not undone") << RenameChoice::Undo << 2 << "HOTOVO - nevráceno: 2";
    }
    void sortedStatus() {
        QFETCH(RenameChoice, done);
        QFETCH(int, failed);
        const std::vector<Failure> problems(size_t(failed), {Fault::Missing, "f", {}});
        QTEST(::sortedStatus({done, problems, {}, {}, std::nullopt}), "status");
    }

    void messages_data() {
        QTest::addColumn<Wording>("wording");
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QString>("message");
        const Wording db = catalogueMessage, dir = folderMessage, print = printMessage;
        QTest::newRow("not a database") << db << Failure{Fault::NotADatabase, "/c", "x"}
                                        << "Katalog „/c“: soubor není databáze (x).";
        QTest::newRow("field missing") << db << Failure{Fault::FieldMissing, "/c", "datum"}
                                       << "Katalog „/c“: v tabulce filenametab chybí pole datum.";
        QTest::newRow("folder missing") << dir << Failure{Fault::Missing, "/f/", {}}
                                        << "Adresář „/f/“ neexistuje nebo byl odstraněn.";
        QTest::newRow("no printer") << print << Failure{Fault::NoPrinter, {}, {}}
                                    << "Není k dispozici žádná tiskárna. Nic se nevytisklo.";
        QTest::newRow("rejecting") << print << Failure{Fault::NotAccepting, "P", "x"}
                                   << "Tiskárna „P“ nepřijímá tiskové úlohy. Nic se nevytisklo.\n"
                                      "(CUPS: x)";
    }
    void messages() {
        QFETCH(Wording, wording);
        QFETCH(Failure, failure);
        QTEST(wording(failure), "message");
    }

    // Each line ends in a lone carriage return; a line break in a name shows as "?".
    void listTexts() {
        const std::vector<CatalogueRow> rows{{"a", ""}, {"b\nc", ""}, {"d\r\ne", ""}};
        QCOMPARE(scanListText("/f/", rows), "/f/\ra\rb?c\rd??e\r");
        QCOMPARE(numberedListText({"001 - a", "002 - b\nc"}), "001 - a\r002 - b?c\r");
    }

    void datumText_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("shown");
        const QLocale cs("cs_CZ"), us("en_US");
        QTest::newRow("afternoon") << "2024-03-07T14:05:09.123Z" << cs << "07.03.2024 15:05:09";
        QTest::newRow("US afternoon") << "2024-03-07T14:05:09.000Z" << us << "3/7/2024 3:05:09 PM";
        QTest::newRow("UTC midnight") << "2024-03-07T00:00:00.000Z" << cs << "07.03.2024 1:00:00";
        QTest::newRow("local midnight") << "2024-06-30T22:00:00.000Z" << us << "7/1/2024";
        QTest::newRow("before 1970") << "1969-12-31T23:59:59.999Z" << cs << "01.01.1970 0:59:59";
        QTest::newRow("unknown") << "" << cs << "";
        QTest::newRow("foreign") << "7.3.2024 15:05" << cs << "7.3.2024 15:05";
    }
    void datumText() {
        QFETCH(QString, stored);
        QFETCH(QLocale, locale);
        QTEST(DatumText(locale)(stored), "shown");
    }
};

QTEST_MAIN(TestWording)
#include "tst_wording.moc"
