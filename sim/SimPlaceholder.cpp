// Placeholder until the simulated processor lands.
