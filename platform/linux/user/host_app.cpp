#include "host/host_app.h"

#include <QApplication>

namespace host {

struct HostApplication::Impl {
    explicit Impl(int& argc, char** argv) : app(argc, argv) {}
    QApplication app;
};

HostApplication::HostApplication(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv)) {}

HostApplication::~HostApplication() = default;

void HostApplication::ProcessEvents() { QCoreApplication::processEvents(); }

}  // namespace host
