#include "model/document/document_environment.h"

namespace qv {

namespace {
DocumentEnvironment g_defaultEnvironment;
DocumentEnvironment* g_environment = nullptr;
} // namespace

DocumentEnvironment& documentEnvironment() { return g_environment ? *g_environment : g_defaultEnvironment; }

void setDocumentEnvironment(DocumentEnvironment* env) { g_environment = env; }

} // namespace qv
