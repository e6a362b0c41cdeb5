// Registers the media information object for CoCreateInstance.
#pragma once

void RegisterInfoComponents();
