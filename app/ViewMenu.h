#pragma once

class MyOpenGLView;
class QMenu;
class QWidget;

// Adds the plot's switches to a View menu as checkable actions, each with a
// shortcut so that every switch can be reached from the keyboard: the three
// curves, kept in step with their check boxes in `form` both ways, and the
// nullclines, off at start.
void addPlotViewActions(QMenu& menu, QWidget& form, MyOpenGLView& view);
