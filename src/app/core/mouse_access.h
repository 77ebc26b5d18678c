// The mouse is plugged in, but this user may not open its device nodes: the access rule is not
// installed (or not yet applied). The log names each node and the rule; the message asks the
// user to install the rule rather than to plug in a mouse that is plugged in already.
// User-interface thread, at start-up after a search that found no usable mouse.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace app {

// The file name of the rule that the build writes beside the program.
inline constexpr char AccessRuleFileName[] = "70-zelbo-mouse.rules";

// The message for the refused nodes, in English for langSel 1, else in Chinese; the window
// title is named as in the plug-in message.
QString AccessDeniedMessage(const QString& windowTitle, std::uint8_t langSel,
                            const QStringList& nodes);
// The log line for one refused node; ruleFile is the rule beside the executable.
QString AccessDeniedLogLine(const QString& node, const QString& ruleFile);

// Logs a line per refused node of the mouse and shows the message; false, doing nothing, when
// no node of the mouse is refused.
bool ReportAccessDeniedMouse(const QString& windowTitle, std::uint8_t langSel);

}  // namespace app
