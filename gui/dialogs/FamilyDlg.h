#pragma once
// "Response family": whether Go draws a family of responses, over which
// parameter (a, b, c, d or the loop gain), over which range, with how many
// members and whether they are spread logarithmically. OK refuses a
// setting that gives no family with the engine's message, storing nothing.
// Also "Family members", the table that lists a value per member.

#include "engine/domain/Family.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;

class TFamilyDlg : public QDialog {
  Q_OBJECT
public:
  explicit TFamilyDlg(QWidget* parent = nullptr);

  // In and out: the window's family mode and plan.
  bool on = false;
  FamilyPlan plan;

  int Execute();
  void OKBtnClick();

private:
  QCheckBox* onCheck_;
  QComboBox* paramCombo_;
  QLineEdit* fromEdit_;
  QLineEdit* toEdit_;
  QLineEdit* membersEdit_;
  QCheckBox* logCheck_;
};

// Opens the family dialog on a window's family mode and plan; on OK they
// take what was chosen and the result is true.
bool EditFamilyMode(QWidget* parent, bool& on, FamilyPlan& plan);

// The legend of a family on show: the parameter's name, a square in each
// member's pen before its value, and a bold square in currentPen before the
// document's value.
QString FamilyLegendText(const FamilyPlan& plan, const FamilyMembers& members, const std::uint32_t* pens,
                         std::uint32_t currentPen, double currentValue);
// The status-bar text naming member i of the family: "Nearest curve: member
// 3, a = 1.5".
QString NearestMemberText(const FamilyPlan& plan, const FamilyMembers& members, int i);

// "Family members": one row per member (its value first, headed by the
// parameter's name), the columns named by headers, the cells given.
class TFamilyTableDlg : public QDialog {
  Q_OBJECT
public:
  TFamilyTableDlg(QWidget* parent, const QString& caption, const QStringList& headers, const QList<QStringList>& rows);
  QTableWidget* table() const { return table_; }

private:
  QTableWidget* table_;
};
