#pragma once

class QQuickWidget;

// How screen readers see the window: one frame, named by the window's
// title, holding the page's controls; the widget's offscreen scene window
// stays out of the tree; progress bars report their values.
namespace PageAccessibility {

// Call before the widget loads its page.
void install(QQuickWidget *window);

} // namespace PageAccessibility
