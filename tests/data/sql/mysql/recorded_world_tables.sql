-- What SHOW CREATE TABLE returns on 10.11.19-MariaDB-0+deb12u1 for database world,
-- recorded by scripts/record-mysql-corpus.sh; do not edit.
DELIMITER $$
CREATE TABLE `City` (
  `ID` int(11) NOT NULL AUTO_INCREMENT,
  `Name` char(35) NOT NULL DEFAULT '',
  `Country` char(3) NOT NULL DEFAULT '',
  `Population` int(11) NOT NULL DEFAULT 0,
  PRIMARY KEY (`ID`),
  KEY `Population` (`Population`),
  KEY `Country` (`Country`)
) ENGINE=InnoDB AUTO_INCREMENT=4080 DEFAULT CHARSET=latin1 COLLATE=latin1_swedish_ci
$$
CREATE TABLE `Country` (
  `Code` char(3) NOT NULL DEFAULT '',
  `Name` char(52) NOT NULL DEFAULT '',
  `SurfaceArea` float(10,2) NOT NULL DEFAULT 0.00,
  `Population` int(11) NOT NULL DEFAULT 0,
  `Capital` int(11) DEFAULT NULL,
  PRIMARY KEY (`Code`),
  UNIQUE KEY `Name` (`Name`)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_swedish_ci
$$
CREATE TABLE `CountryLanguage` (
  `Country` char(3) NOT NULL DEFAULT '',
  `Language` char(30) NOT NULL DEFAULT '',
  `Percentage` float(3,1) NOT NULL DEFAULT 0.0,
  PRIMARY KEY (`Country`,`Language`),
  KEY `Percentage` (`Percentage`)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_swedish_ci
$$
DELIMITER ;
