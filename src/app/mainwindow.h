#pragma once

#include "catalogue.h"
#include "directorychooser.h"
#include "module1.h"
#include "renameplan.h"
#include "renamer.h"

#include <QCoreApplication>
#include <QWidget>
#include <functional>
#include <memory>

class ListBox;
class QLabel;
class StatusLabel;
class QPrinter;
class QPushButton;

// The one window, TEMLO_RUNDEL: three action buttons, the list box and the status line.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The catalogue lives beside the executable in appPath, or where cataloguePath() says.
    explicit MainWindow(const QString& appPath = QCoreApplication::applicationDirPath(),
                        QWidget* parent = nullptr);

    const Module1& state() const { return m_state; }
    const Catalogue& catalogue() const { return m_catalogue; }

    // Where "TISK" draws instead of the default CUPS destination (a PDF file, say); a null
    // printer stands for none available.
    using PrinterFactory = std::function<std::unique_ptr<QPrinter>()>;
    void setPrinterFactory(PrinterFactory factory) { m_printerFactory = std::move(factory); }
    void setDirectoryChooser(std::unique_ptr<DirectoryChooser> chooser);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    void openCatalogue();
    void browse();
    void removeExtraNames(const QString& folder);
    std::optional<QString> chooseFolder();
    std::optional<CatalogueRead> readCatalogue();
    void sort();
    void print();
    void renameToNumberedNames(const RenamePlan& plan);
    std::optional<RenameOutcome> runSteps(const RenamePlan& plan,
                                          std::span<const RenameStep> steps);
    void setStatus(const QString& text);

    Module1 m_state;
    Catalogue m_catalogue;
    QString m_startupError; // shown once the window is on screen
    std::unique_ptr<DirectoryChooser> m_chooser = std::make_unique<FileDialogChooser>();
    // The last scan of this run that wrote the catalogue; empty when there is none (none
    // yet, or its write failed). Files are renamed only while the catalogue holds it.
    ScanMark m_scanMark;
    PrinterFactory m_printerFactory;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
    ListBox* m_textBox1 = nullptr;
    QLabel* m_label1 = nullptr;
    StatusLabel* m_label2 = nullptr;
};
