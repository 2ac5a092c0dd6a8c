#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

// Watches for the next modal window of type T (any modal widget for QWidget): once it is the
// active modal widget, hands it to `act`, then closes it if `act` left it open, so that a failing
// test never hangs in exec(). The watch ends with the returned object: a watch that found no
// window can never act later on another test's window with references that are gone.
template <class T> class ModalWatch {
public:
    explicit ModalWatch(std::function<void(T*)> act) : m_timer(new QTimer(qApp)) {
        auto tries = std::make_shared<int>(0);
        QTimer* timer = m_timer;
        QObject::connect(timer, &QTimer::timeout, timer, [timer, tries, act] {
            T* modal = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!modal && ++*tries < 500)
                return;
            timer->stop();
            if (!modal)
                return;
            QPointer<T> guard(modal);
            act(modal);
            if (auto* dialog = qobject_cast<QDialog*>(guard.data()); dialog && dialog->isVisible())
                dialog->reject();
        });
        timer->start(10);
    }
    ~ModalWatch() {
        if (m_timer) {
            m_timer->stop();
            m_timer->deleteLater();
        }
    }
    ModalWatch(const ModalWatch&) = delete;
    ModalWatch& operator=(const ModalWatch&) = delete;
    ModalWatch(ModalWatch&& other) noexcept : m_timer(other.m_timer) { other.m_timer = nullptr; }

private:
    QPointer<QTimer> m_timer;
};

template <class T> [[nodiscard]] ModalWatch<T> WhenModal(std::function<void(T*)> act) {
    return ModalWatch<T>(std::move(act));
}

[[nodiscard]] inline ModalWatch<QWidget> OnNextModal(std::function<void(QWidget*)> act) {
    return ModalWatch<QWidget>(std::move(act));
}
