#pragma once
// The main frame's editors of single values of the loop model, its options
// dialog and its parameters dialog.

class QWidget;

// "&Gain...", "&Delay...", "&Sample hold time...": a fresh value dialog with
// the quantity's caption and limits; the model changes only on OK, and
// then the diagram's label of that value is brought up to date.
// Each returns true when the model changed.
bool EditGain(QWidget* frame);
bool EditDelay(QWidget* frame);
bool EditSampleHold(QWidget* frame);

// "&Forward path non linearity...", "Feedbac&k path non linearity..." and
// the diagram's nonlinearity blocks: a fresh nonlinearity editor on the
// model's text; on OK the text is stored and the diagram shows it. The
// preview's input range is kept for the run. True when the model changed.
bool EditNonlinearity(QWidget* frame, bool forward);

// "Op&tions...": a fresh options dialog, shown modally.
void ShowOptions(QWidget* frame);
