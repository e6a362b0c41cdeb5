// Makes the media engine ready for this process: the platform filters and
// the codec components registered, and the program's decoders made the
// preferred ones for the sub types they handle. Idempotent.
#pragma once

void StartMediaEngine();

// The preferred decoders through the plugin control; skipped silently
// when the plugin control cannot be made.
void SetPreferredDecoders();
