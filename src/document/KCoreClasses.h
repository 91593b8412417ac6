#pragma once
// Registers every class of the core that archives create by name (the object model,
// texture entries, export option records). Idempotent; loaders call it before reading.
void KRegisterCoreClasses();
