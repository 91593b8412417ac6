#pragma once
// Registers the object model's classes so archives can create them by name.
// Idempotent; every loader calls it before reading.
void KRegisterModelClasses();
