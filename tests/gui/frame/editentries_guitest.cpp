// The commands that open the transfer-function editor, and the diagram
// brought up to date when it closes.

#include "tests/gui/FrameTest.h"

#include "gui/diagram/SysDef.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

TEST_F(FrameTest, EditCommandsOpenTheEditorOnTheirElement)
{
  const struct {
    const char* opener;  // an Edit entry or a block of the diagram
    const char* caption;
    const char* den;  // typed, then OK
    const char* label;
    int plantWidth;  // a discrete plant gets the wide block
  } cases[] = {{"Compensator1", "Compensator", "s+2", "GcDenLabel", 177},
               {"Plant1", "Plant", "z-0.5", "GpDenLabel", 249},
               {"GcPanel", "Compensator", "2s", "GcDenLabel", 249},
               {"GpPanel", "Plant", "s+3", "GpDenLabel", 177}};
  TSysDefForm* d = frame->sysDefForm();
  for (const auto& k : cases) {
    QString caption;
    MessageSeam::setModalHook([&](QDialog& dlg) {
      dlg.show();
      caption = dlg.windowTitle();
      auto* den = dlg.findChild<QLineEdit*>(QStringLiteral("DenEdit"));
      den->selectAll();
      QTest::keyClicks(den, QLatin1String(k.den));
      QTest::mouseClick(dlg.findChild<QAbstractButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
      return dlg.result();
    });
    if (QAction* entry = action(k.opener))
      entry->trigger();
    else
      QTest::mouseClick(d->findChild<QWidget*>(QLatin1String(k.opener)), Qt::LeftButton);
    EXPECT_EQ(caption, QLatin1String(k.caption));
    EXPECT_EQ(d->findChild<QLabel*>(QLatin1String(k.label))->text(), QLatin1String(k.den));
    EXPECT_EQ(d->findChild<QWidget*>(QStringLiteral("GpPanel"))->width(), k.plantWidth) << k.den;
    EXPECT_TRUE(Sys().strictCheck);
  }
}
