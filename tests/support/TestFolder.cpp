#include "tests/support/TestFolder.h"

#include <stdexcept>

TestFolder::TestFolder()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary test folder");
}
