// Program-wide static objects: made before the entry point, released at exit
// in reverse order of their making.
//
// A static object that other static objects use while they are made must
// exist first, whatever the order in which the linker lays out translation
// units. The framework gets that in one of two ways:
// - construct on first use: a function-local static, made by the first call
//   (the shared empty strings' own buffers, the system allocator);
// - an initialisation level: a namespace-scope static marked with one of the
//   levels below is made before every static of a later level and before all
//   unmarked statics, and so is released after them at exit.
//
// Null counted pointers (ConstRCPtr<T>::sNull) need neither: they are
// constant-initialised, so they are null before any code runs, and never
// change.
#pragma once

// The shared empty strings (StringT::sEmpty): every other static may copy them.
#define KX_STATIC_INIT_FOUNDATION __attribute__((init_priority(101)))
// Framework service objects that the application's statics rely on
// (identifier tables, pools and their locks, debug streams, key tables).
#define KX_STATIC_INIT_SERVICES __attribute__((init_priority(200)))
