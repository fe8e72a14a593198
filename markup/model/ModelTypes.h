// Registration of every markup class of this library.
#pragma once

// Makes the type record of each class here, so that markup finds them by tag
// even when no code names them. CXTPMarkupType::InitializeTypes calls it;
// each higher library has a function like it that its host calls first.
void RegisterMarkupModelTypes();
