#pragma once
// The main frame: the MDI parent with the menu bar, the row of tool buttons
// and the three-panel status bar. It owns the loop model, creates the domain
// windows and routes the graph and loop commands to the active one.

#include "engine/model/Model.h"
#include "gui/window/DomainChildForm.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <vector>

class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolButton;
class TSysDefForm;
class TEditTFDlg;
class TEvalDlg;
class TParamDlg;
class TParameterPanel;
class TAboutBox;
class TDocumentSession;
class TAutosave;
struct Environment;
struct LoadedSystem;
struct WindowRecord;

class TMainForm : public QMainWindow {
  Q_OBJECT
public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // Number of open windows of one kind.
  int Count(ActiveDomain kind) const { return counts_[static_cast<std::size_t>(kind)]; }
  QMdiArea* mdiArea() const { return mdi_; }
  TSysDefForm* sysDefForm() const { return sysDef_; }
  // The strip below the window area that holds the diagram.
  QDockWidget* sysDefDock() const { return sysDefDock_; }
  // The active domain window (the last one activated), or nullptr.
  TDomainChildForm* activeChild() const;

  // Opens a new domain window of that kind, captioned with its number.
  TDomainChildForm* NewWindow(ActiveDomain kind);
  // Enables the window-list entries and printing and copying the graph
  // exactly when a child exists.
  void UpdateMenuItems();
  // Routes a command to the active domain window (Configuration warns when
  // no window takes it).
  void Route(RoutedCommand c);

  // The design session: undo and redo, the file and the modified mark.
  TDocumentSession& session() const { return *session_; }
  // Reads a system or system plus environment file and makes it the
  // document (with its windows and display options, when it has them). A
  // refused file is reported and leaves everything as it was.
  bool OpenFile(const QString& path);
  // At start: offers to recover the design of a copy that was killed.
  void OfferRecovery();
  // The autosave of this copy (crash recovery).
  TAutosave& autosave() const { return *autosave_; }

protected:
  void showEvent(QShowEvent* event) override;
  // With unsaved changes the user may save them first, or stay.
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void createMenus();
  void createToolBar();
  void createStatusBar();
  void createSysDefDock();
  QAction* addEntry(QMenu* menu, const char* name, const QString& caption, const QString& hint, bool enabled = true);
  QToolButton* addButton(const char* name, const char* icon, const QString& hint, bool enabled, bool latching);

  void childActivated(QMdiSubWindow* sub);
  void childClosed(ActiveDomain kind);
  // Shows a domain window's state (or the state with none) in the tool
  // buttons and the system diagram.
  void applyState(const DomainWindowState& state);
  int openChildren() const;
  // The area where domain windows open, cascade and tile: all the window
  // area, which the diagram's strip never covers.
  QRect childArea() const;
  int cascadeStep() const;
  void cascade();
  void editSampleHold();
  void closeAll();
  void fillWindowMenu();
  void toggleSysDef();
  void sysDefShown(bool visible);
  void showEvaluator();
  void showHelpContents();
  void showAbout();
  // The transfer-function editor on element 0 (compensator) or 1 (plant);
  // the diagram shows the element's texts as the editor leaves them.
  void editElement(int elem);
  void arrangeIcons();
  // After an editor closed: its change, if any, becomes one undo step.
  void edited(const QString& what);
  // Shows the loop model anew in the diagram and the open windows.
  void showLoop();
  void updateTitle();
  void newSystem();
  // The file commands (MainFormFiles.cpp). Saving returns true when the
  // document was written; a failure is reported and keeps it modified.
  bool saveDocument();
  bool saveDocumentAs();
  bool saveEnvironment();
  bool writeDocument(const QString& path, bool environment);
  void loadSystem();
  void openEnvironment();
  QString chooseFile(const QString& caption, bool mustExist);
  bool readFile(const QString& path, LoadedSystem& loaded);
  void applyLoaded(const LoadedSystem& loaded, const QString& path, bool environment);
  std::vector<WindowRecord> windowRecords() const;
  // Closes the domain windows and opens the saved ones with their settings
  // and places; the display options as saved.
  void restoreEnvironment(const Environment& env);
  void writeAutosave();

  std::unique_ptr<ModelScope> model_;
  TDocumentSession* session_ = nullptr;
  std::unique_ptr<TAutosave> autosave_;
  QTimer* autosaveTimer_ = nullptr;
  bool withEnvironment_ = false;  // the document's file is a system plus environment file
  std::array<int, 4> counts_{};
  // The routed tool buttons, indexed by RoutedCommand.
  std::array<QToolButton*, kRoutedCommands> routed_{};
  QMdiArea* mdi_ = nullptr;
  TSysDefForm* sysDef_ = nullptr;
  QDockWidget* sysDefDock_ = nullptr;
  TEditTFDlg* editTF_ = nullptr;
  TEvalDlg* eval_ = nullptr;
  TParamDlg* params_ = nullptr;
  TParameterPanel* paramPanel_ = nullptr;
  TAboutBox* about_ = nullptr;
  QMenu* windowMenu_ = nullptr;
  QAction* childMenusBefore_ = nullptr;  // the child's menus go in front of "&Window"
  QList<QPointer<QAction>> childMenuActions_;
  QList<QAction*> windowListActions_;
  QAction* closeAll_ = nullptr;
  QAction* cascade_ = nullptr;
  QAction* tile_ = nullptr;
  QAction* arrange_ = nullptr;
  QAction* minimizeAll_ = nullptr;
  QAction* printGraph_ = nullptr;
  QAction* copyGraph_ = nullptr;
  QToolButton* sysDefBtn_ = nullptr;
  QAction* sysDefItem_ = nullptr;
  std::array<QLabel*, 3> panels_{};
  QPointer<TDomainChildForm> lastActive_;
  bool firstShow_ = true;
  QRect startFrame_{0, 0, 800, 554};  // with the window frame
};
