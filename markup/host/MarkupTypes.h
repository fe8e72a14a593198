// Registration of every markup class of the element tree and its host.
#pragma once

// Makes the type record of each class of markup/elements and markup/host, so
// that markup finds them by tag even when no code names them. Call before
// CXTPMarkupType::InitializeTypes; the first host does both.
void RegisterMarkupTypes();

// RegisterMarkupTypes and CXTPMarkupType::InitializeTypes, the first time
// only; every host calls it as it is made.
void EnsureMarkupTypes();
