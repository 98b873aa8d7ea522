#pragma once

// The shipped template pools, loaded once per test program, and the previews' render size.
namespace TemplatePools {
void setUp();
} // namespace TemplatePools
