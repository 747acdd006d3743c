#pragma once
// Placeholder: the trace generator is being written.
