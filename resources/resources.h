#pragma once

// Registers the embedded help text and Japanese catalogue. The resources live in a static library,
// so a program must call this once before it opens ":typeHelp.txt" or ":lumivard_ja_JP".
void initLumivardResources();
