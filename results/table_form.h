// The table window: a table of texts prepared by its caller, shown modally,
// and copied to the clipboard in the forms word processors and spreadsheets
// read as a table.
#pragma once

#include <QDialog>

#include "editor/ui_services.h"
#include "results/logic/table_export.h"

class QFrame;
class QLabel;
class QPushButton;
class QTableWidget;

namespace marvolt {

inline const QString kTableCopyFailed =
    QStringLiteral("Не удалось копировать в буфер таблицу в формате Word.");

class TTableForm : public QDialog {
    Q_OBJECT

  public:
    explicit TTableForm(UiServices services, QWidget* parent = nullptr);

    // Takes the table; it is released when the window closes.
    void SetTable(const QString& caption, const QString& label, TextTable table);
    // SetTable, then the window modally.
    void ShowTable(const QString& caption, const QString& label, TextTable table);

    // Event handlers.
    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    UiServices services_;
    TextTable table_;

    QFrame* Panel2 = nullptr;
    QLabel* LabelName = nullptr;
    QTableWidget* ResultsSG = nullptr;
    QFrame* Panel1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
};

}  // namespace marvolt
