// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/ErrorGuard.h"

#include "common/Error.h"
#include "common/Prompts.h"

#include <cstdio>

namespace tilvo {

namespace {

Prompts* g_errorDisplay = nullptr;

void Show(Prompts* prompts, const QString& text)
{
    if (prompts)
        prompts->showMessage(text, Prompts::Icon::Error);
    else
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

bool Run(Prompts* prompts, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const Error& e) {
        Show(prompts, e.text());
    } catch (const std::bad_alloc&) {
        Show(prompts, QStringLiteral("Mémoire insuffisante pour terminer l'opération."));
    } catch (const std::exception& e) {
        Show(prompts, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        Show(prompts, QStringLiteral("Une erreur inattendue s'est produite."));
    }
    return false;
}

} // namespace

void SetErrorDisplay(Prompts* prompts)
{
    g_errorDisplay = prompts;
}

bool RunGuarded(Prompts& prompts, const std::function<void()>& handler)
{
    return Run(&prompts, handler);
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    Run(g_errorDisplay, [&] { result = QApplication::notify(receiver, event); });
    return result;
}

} // namespace tilvo
